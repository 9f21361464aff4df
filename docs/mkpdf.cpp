// Turns the Markdown user guide into the PDF the help action opens.
//   mkpdf GUIDE.md OUT.pdf
// Every picture the guide names is loaded here, from the guide's folder, and a picture that does not load fails
// the build: QTextDocument would otherwise print a 16x16 placeholder without a word. The text is set in one
// font that covers Chinese and English; the PDF embeds it, so the text reads and can be searched on a machine
// without that font.
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <cstdio>

namespace {
constexpr double kScreenDpi = 96;  // document units are pixels at this resolution
constexpr double kFooter = 24;     // below the text of each page: the page number
const char kFontFamily[] = "WenQuanYi Micro Hei";

struct Picture {
    int position;
    int length;
    QTextImageFormat format;
    double indent;  // of the block it stands in (list items are indented)
};

double indentOf(const QTextDocument &doc, const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    double indent = format.leftMargin() + format.indent() * doc.indentWidth();
    if (const QTextList *list = block.textList())
        indent += list->format().indent() * doc.indentWidth();
    return indent;
}

QList<Picture> pictures(const QTextDocument &doc)
{
    QList<Picture> found;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                found.append({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat(),
                              indentOf(doc, block)});
        }
    }
    return found;
}

// Loads each picture under its absolute file URL (a printed copy of the document resolves names without the
// base URL) and draws it no wider than the text. Returns the number of pictures that did not load.
int embedPictures(QTextDocument &doc, const QUrl &base, double textWidth)
{
    int missing = 0;
    for (Picture picture : pictures(doc)) {
        const QUrl url = base.resolved(QUrl(picture.format.name()));
        const QImage image(url.toLocalFile());
        if (image.isNull()) {
            std::fprintf(stderr, "mkpdf: the picture %s cannot be loaded from %s\n",
                         qPrintable(picture.format.name()), qPrintable(url.toLocalFile()));
            ++missing;
            continue;
        }
        doc.addResource(QTextDocument::ImageResource, url, image);
        picture.format.setName(url.toString());
        const double width = qMin<double>(image.width(), textWidth - picture.indent);
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        QTextCursor cursor(&doc);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return missing;
}
}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkpdf GUIDE.md OUT.pdf\n");
        return 64;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkpdf: cannot read %s\n", argv[1]);
        return 65;
    }
    const QFont font(QString::fromLatin1(kFontFamily), 10);
    if (QFontInfo(font).family() != QLatin1String(kFontFamily)) {
        std::fprintf(stderr, "mkpdf: the font \"%s\" is not installed (Debian: fonts-wqy-microhei); without it the "
                             "Chinese guide has no glyphs\n", kFontFamily);
        return 69;
    }
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                           QPageLayout::Millimeter);
    const QRectF paper = page.paintRect(QPageLayout::Inch);
    const QSizeF body(paper.width() * kScreenDpi, paper.height() * kScreenDpi - kFooter);

    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setPageSize(body);
    const QUrl base = QUrl::fromLocalFile(QFileInfo(in).absolutePath() + QLatin1Char('/'));
    doc.setBaseUrl(base);
    doc.setMarkdown(QString::fromUtf8(in.readAll()));
    if (const int missing = embedPictures(doc, base, body.width() - 2 * doc.documentMargin())) {
        std::fprintf(stderr, "mkpdf: %d picture(s) of %s missing; no PDF written\n", missing, argv[1]);
        return 66;
    }

    const QString out = QString::fromLocal8Bit(argv[2]);
    QFile::remove(out);
    QPdfWriter pdf(out);
    pdf.setTitle(QStringLiteral("Tarnquill user guide"));
    pdf.setCreator(QStringLiteral("Tarnquill"));
    pdf.setPageLayout(page);
    QPainter painter(&pdf);
    const double scale = pdf.logicalDpiX() / kScreenDpi;
    painter.scale(scale, scale);
    // Points would be measured on the PDF's own resolution; the painter draws in screen pixels.
    QFont numberFont(font);
    numberFont.setPixelSize(qRound(font.pointSizeF() * kScreenDpi / 72));
    painter.setFont(numberFont);
    for (int n = 0; n < doc.pageCount(); ++n) {
        if (n > 0)
            pdf.newPage();
        painter.save();
        painter.translate(0, -n * body.height());
        doc.drawContents(&painter, QRectF(QPointF(0, n * body.height()), body));
        painter.restore();
        painter.drawText(QRectF(0, body.height(), body.width(), kFooter), Qt::AlignRight | Qt::AlignBottom,
                         QString::number(n + 1));
    }
    if (!painter.end() || QFileInfo(out).size() == 0) {
        std::fprintf(stderr, "mkpdf: cannot write %s\n", argv[2]);
        return 74;
    }
    return 0;
}
