#pragma once

#include "LanguageSwitcher.h"

#include <QDialog>

#include <memory>

namespace Ui {
class MainWindow;
}

// The program's one top-level window: the link status lamp, the two language buttons and a stack
// holding the records page.
class MainWindow : public QDialog
{
    Q_OBJECT

public:
    // The one window, created without a parent on the first call.
    static MainWindow *instance();
    // Destroys the window while the application object still exists (main() calls this after the
    // event loop; tests call it before the application goes).
    static void destroyInstance();

    ~MainWindow() override;

    // The window's own style additions, set by initForm on top of the application style sheet.
    static QString windowStyle();

Q_SIGNALS:
    // A language switch succeeded: true for Chinese, false for English. The records page takes its
    // languageFlag from here and re-labels itself.
    void languageChanged(bool languageFlag);

private Q_SLOTS:
    void initForm();
    void initusbport();
    void on_btnLanguageEn_clicked();
    void on_btnLanguageZh_clicked();
    void handleAppMessage(const QString &message);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    MainWindow();
    void switchLanguage(const QString &baseName, bool languageFlag);

    std::unique_ptr<Ui::MainWindow> ui;
    QWidget *page = nullptr; // the records page, a child of the window
    LanguageSwitcher languages;
};
