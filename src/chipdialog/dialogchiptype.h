#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class DialogChipType;
}

// Custom chip types ("自定义设置"): display names for catalogue models, the company name and the logo.
// OK writes cfg.db and logo.png into the application directory and restarts the program so the new chip
// list takes effect. The table opens with the entries and the company cfg.db holds, so OK keeps what is not
// deleted; the logo path starts at the installed logo.
//
// The window opens a new one from on_action_custom_triggered (window-modal, shown without exec, titled
// "自定义设置", icon ":/./update.png", placed at the window's position); the dialog deletes itself when closed.
class DialogChipType : public QDialog
{
    Q_OBJECT

public:
    // `appDir` is where cfg.db and logo.png live; empty means the program's appDir().
    explicit DialogChipType(QWidget *parent = nullptr, const QString &appDir = QString());
    ~DialogChipType() override;

    // Replaces the restart (tests); an empty function restores it.
    using Restarter = std::function<void()>;
    static void setRestarter(Restarter restarter);

    // Asked before anything is written: false (the user keeps unsaved work) leaves cfg.db, the logo and the
    // running program as they are. Without one the restart goes ahead.
    void setRestartGuard(std::function<bool()> guard) { m_restartGuard = std::move(guard); }

    // Starts a detached copy of the program with its own arguments and leaves the event loop with 0.
    static void restartApplication();

private slots:
    void on_pushButtonAdd_clicked();
    void on_pushButtonDelete_clicked();
    void on_pushButtonLogoPath_clicked();
    void on_pushButtonOK_clicked();

private:
    bool writeConfiguration();
    void installLogo();

    std::unique_ptr<Ui::DialogChipType> m_ui;
    QString m_appDir;
    QString m_logoPath;
    std::function<bool()> m_restartGuard;
    int m_nRow = 0;
};
