// Turns the Markdown user guide into the PDF the help action opens.
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

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
    doc.setMarkdown(QString::fromUtf8(in.readAll()));

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
