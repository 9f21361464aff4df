// Turns the Markdown user guide into the PDF the help action opens.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {
constexpr double kImageWidth = 620;  // document units (pixels); an A4 page with our margins is wider
}

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
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
    // Pictures are named relative to the guide.
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(in).absolutePath() + QLatin1Char('/')));
    doc.setMarkdown(QString::fromUtf8(in.readAll()));
    // Screenshots are wider than a page: each is drawn at the width of the text.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            image.setWidth(kImageWidth);
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("Tarnquill user guide"));
    pdf.setCreator(QStringLiteral("Tarnquill"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    doc.print(&pdf);
    if (!QFile::exists(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "mkpdf: cannot write %s\n", argv[2]);
        return 74;
    }
    return 0;
}
