#include "dialogchiptype.h"
#include "ui_dialogchiptype.h"

#include "asciivalidator.h"

#include "appdir/appdir.h"
#include "boxes/boxes.h"
#include "chip/mcuinfo.h"
#include "files/cfgdb.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QProcess>

#include <algorithm>
#include <functional>

namespace {

QString noticeText()
{
    return QCoreApplication::translate("DialogChipType", "提示");
}
constexpr int kMaxRows = 100;

DialogChipType::Restarter &restarter()
{
    static DialogChipType::Restarter r;
    return r;
}

// The configuration as it was, so a file that could not be written leaves the running program unchanged.
struct CfgSnapshot
{
    QString company = g_strCompany;
    int count = g_nCfgCount;
    QString chips[CFG_MAX_ENTRIES];
    QString names[CFG_MAX_ENTRIES];

    CfgSnapshot()
    {
        for (int i = 0; i < CFG_MAX_ENTRIES; ++i) {
            chips[i] = g_strCfgChip[i];
            names[i] = g_strCfgName[i];
        }
    }
    void restore() const
    {
        g_strCompany = company;
        g_nCfgCount = count;
        for (int i = 0; i < CFG_MAX_ENTRIES; ++i) {
            g_strCfgChip[i] = chips[i];
            g_strCfgName[i] = names[i];
        }
    }
};

} // namespace

DialogChipType::DialogChipType(QWidget *parent, const QString &appDir)
    : QDialog(parent), m_ui(std::make_unique<Ui::DialogChipType>()),
      m_appDir(appDir.isEmpty() ? ::appDir() : appDir)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(m_appDir + QStringLiteral("/logo.png")));
    for (const McuInfo &m : g_mcuList)
        m_ui->comboBoxKVOType->addItem(m.strName);
    m_ui->lineEditCustom->setValidator(new AsciiValidator(this));
    m_ui->lineEditCustom->setMaxLength(10);
    m_ui->tableWidgetCustom->setColumnCount(2);
    m_ui->tableWidgetCustom->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // What cfg.db holds now: saving again must not wipe it.
    m_nRow = qBound(0, g_nCfgCount, CFG_MAX_ENTRIES);
    m_ui->tableWidgetCustom->setRowCount(m_nRow);
    for (int i = 0; i < m_nRow; ++i) {
        m_ui->tableWidgetCustom->setItem(i, 0, new QTableWidgetItem(g_strCfgChip[i]));
        m_ui->tableWidgetCustom->setItem(i, 1, new QTableWidgetItem(g_strCfgName[i]));
    }
    m_ui->CompanyNameLineEdit->setText(g_strCompany);
    const QString logo = m_appDir + QStringLiteral("/logo.png");
    if (QFileInfo(logo).isFile()) {
        m_logoPath = logo;
        m_ui->lineEditLogoPath->setText(QDir::toNativeSeparators(logo));
    }
}

DialogChipType::~DialogChipType() = default;

void DialogChipType::setRestarter(Restarter r)
{
    restarter() = std::move(r);
}

void DialogChipType::restartApplication()
{
    if (restarter()) {
        restarter()();
        return;
    }
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1)))
        boxes::inform(nullptr, QCoreApplication::translate("DialogChipType", "错误"),
                      QCoreApplication::translate("DialogChipType", "程序重启失败，请手动重新启动程序！"));
    QCoreApplication::exit(0);
}

void DialogChipType::on_pushButtonAdd_clicked()
{
    if (m_ui->lineEditCustom->text().isEmpty()) {
        boxes::inform(this, noticeText(), QCoreApplication::translate("DialogChipType", "自定型号不能为空！"));
        return;
    }
    if (m_ui->tableWidgetCustom->rowCount() > kMaxRows - 1) {
        boxes::inform(this, noticeText(), QCoreApplication::translate("DialogChipType", "自定义数量已超过100！"));
        return;
    }
    m_ui->tableWidgetCustom->setRowCount(m_nRow + 1);
    m_ui->tableWidgetCustom->setItem(m_nRow, 0, new QTableWidgetItem(m_ui->comboBoxKVOType->currentText()));
    m_ui->tableWidgetCustom->setItem(m_nRow, 1, new QTableWidgetItem(m_ui->lineEditCustom->text()));
    ++m_nRow;
}

void DialogChipType::on_pushButtonDelete_clicked()
{
    QList<int> rows;
    for (const QModelIndex &index : m_ui->tableWidgetCustom->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows)
        m_ui->tableWidgetCustom->removeRow(row);
    m_nRow = m_ui->tableWidgetCustom->rowCount();
}

void DialogChipType::on_pushButtonLogoPath_clicked()
{
    const QString fileName =
        boxes::openFileName(this, QCoreApplication::translate("DialogChipType", "打开文件"), m_appDir,
                            QStringLiteral("png(*.png)"));
    if (fileName.isEmpty()) {
        qDebug() << "fileName.isEmpty";
        return;
    }
    m_logoPath = fileName;
    m_ui->lineEditLogoPath->setText(fileName);
}

bool DialogChipType::writeConfiguration()
{
    const CfgSnapshot before;
    const int rows = qMin(m_ui->tableWidgetCustom->rowCount(), CFG_MAX_ENTRIES);
    g_strCompany = m_ui->CompanyNameLineEdit->text();
    g_nCfgCount = rows;
    for (int i = 0; i < rows; ++i) {
        g_strCfgName[i] = m_ui->tableWidgetCustom->item(i, 1)->text();
        g_strCfgChip[i] = m_ui->tableWidgetCustom->item(i, 0)->text();
    }
    QString error;
    const int result = writeCfgFile(m_appDir, &error);
    if (result == 0)
        return true;
    before.restore();
    // An installed copy usually sits in a folder the user cannot write: say so instead of failing silently.
    const QString text = result == -2
        ? QCoreApplication::translate("DialogChipType", "配置内容过长，无法保存，请缩短公司名称！")
        : QCoreApplication::translate("DialogChipType", "无法写入配置文件 %1，请确认程序目录可写（例如使用可写目录中的程序副本）！")
                  .arg(QDir::toNativeSeparators(cfgDbPath(m_appDir)))
              + (error.isEmpty() ? QString() : QStringLiteral("\n(%1)").arg(error));
    boxes::inform(this, QCoreApplication::translate("DialogChipType", "错误"), text);
    return false;
}

void DialogChipType::installLogo()
{
    const QString target = m_appDir + QStringLiteral("/logo.png");
    if (QFileInfo(m_logoPath).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return;  // the installed logo kept: removing it first would lose it
    if (QFile::exists(target) && !QFile::remove(target))
        qDebug() << "Failed to remove existing file:" << target;
    if (QFile::copy(m_logoPath, target))
        qDebug() << "文件拷贝成功";
    else
        qDebug() << "文件拷贝失败";
}

void DialogChipType::on_pushButtonOK_clicked()
{
    // Everything is checked before cfg.db changes: once it names custom models the menu entry is hidden
    // after the restart, so a half-accepted change could never be undone from the window.
    if (m_logoPath.isEmpty() || !QFileInfo(m_logoPath).isFile()) {
        boxes::inform(this, noticeText(), QCoreApplication::translate("DialogChipType", "logo文件不存在！"));
        return;
    }
    if (m_ui->tableWidgetCustom->rowCount() == 0) {
        boxes::inform(this, noticeText(), QCoreApplication::translate("DialogChipType", "没有自定义型号！"));
        return;
    }
    // The restart ends the program: unsaved work in the window is asked about first, as closing does.
    if (m_restartGuard && !m_restartGuard())
        return;
    if (!writeConfiguration())
        return;
    installLogo();
    close();
    restartApplication();
}
