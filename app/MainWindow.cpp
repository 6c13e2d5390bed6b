#include "MainWindow.h"

#include "LumivaneResources.h"
#include "ui_MainWindow.h"

#include <QDebug>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

namespace {

std::unique_ptr<MainWindow> &windowHolder()
{
    static std::unique_ptr<MainWindow> window;
    return window;
}

} // namespace

MainWindow *MainWindow::instance()
{
    std::unique_ptr<MainWindow> &window = windowHolder();
    if (!window)
        window.reset(new MainWindow);
    return window.get();
}

void MainWindow::destroyInstance()
{
    windowHolder().reset();
}

MainWindow::MainWindow() : QDialog(nullptr), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    initForm();
    on_btnLanguageZh_clicked(); // the program starts in Chinese
    QTimer::singleShot(10, this, &MainWindow::initusbport);
}

MainWindow::~MainWindow() = default;

QString MainWindow::windowStyle()
{
    QStringList parts;
    parts << QStringLiteral("QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,QDateTimeEdit::drop-down"
                            "{width:%1px;}")
                 .arg(20);
    parts << QStringLiteral("QComboBox::down-arrow,QDateEdit[calendarPopup=\"true\"]::down-arrow,"
                            "QTimeEdit[calendarPopup=\"true\"]::down-arrow,"
                            "QDateTimeEdit[calendarPopup=\"true\"]::down-arrow{width:%1px;height:%1px;right:2px;}")
                 .arg(10);
    parts << QStringLiteral("QRadioButton::indicator{width:%1px;height:%1px;}").arg(15);
    parts << QStringLiteral("QCheckBox::indicator,QGroupBox::indicator,QTreeWidget::indicator,"
                            "QListWidget::indicator{width:%1px;height:%1px;}")
                 .arg(13);
    parts << QStringLiteral("QScrollBar:horizontal{min-height:%1px;border-radius:%2px;}"
                            "QScrollBar::handle:horizontal{border-radius:%2px;}"
                            "QScrollBar:vertical{min-width:%1px;border-radius:%2px;}"
                            "QScrollBar::handle:vertical{border-radius:%2px;}")
                 .arg(12)
                 .arg(6);
    parts << QStringLiteral("QWidget#widget_top>QToolButton:pressed,QWidget#widget_top>QToolButton:hover,"
                            "QWidget#widget_top>QToolButton:checked,QWidget#widget_top>QLabel:hover"
                            "{border-width:0px 0px %1px 0px;}")
                 .arg(3);
    parts << QStringLiteral("QWidget#widgetleft>QPushButton:checked,QWidget#widgetleft>QToolButton:checked,"
                            "QWidget#widgetleft>QPushButton:pressed,QWidget#widgetleft>QToolButton:pressed"
                            "{border-width:0px 0px 0px %1px;}")
                 .arg(3);
    return parts.join(QString());
}

void MainWindow::initForm()
{
    // The records page (FirstPage) is created here with the window as its parent, added to the
    // stack and made current; it also connects to languageChanged. Until it exists the stack
    // holds an empty page, so the window shows its final layout.
    if (ui->stackedWidget->count() == 0) {
        page = new QWidget(this);
        page->setObjectName(QStringLiteral("placeholderPage"));
        ui->stackedWidget->addWidget(page);
        ui->stackedWidget->setCurrentWidget(page);
    }
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setStyleSheet(windowStyle());
}

void MainWindow::initusbport()
{
    // Until a meter link is open the lamp is off. Registering for device notifications and the
    // first attempt to open the meter (OpenUSB) belong here as well.
    ui->LinkStatusLabel->setPixmap(QPixmap(QLatin1String(LumivaneResources::lampOffImage)));
    ui->LinkStatusLabel->setAlignment(Qt::AlignCenter);
}

void MainWindow::on_btnLanguageEn_clicked()
{
    switchLanguage(QStringLiteral("Lumivane_en"), false);
}

void MainWindow::on_btnLanguageZh_clicked()
{
    switchLanguage(QStringLiteral("Lumivane_zh"), true);
}

void MainWindow::switchLanguage(const QString &baseName, bool languageFlag)
{
    // A translation that cannot be found changes nothing: the page keeps its language.
    if (languages.switchTo(baseName))
        Q_EMIT languageChanged(languageFlag);
}

void MainWindow::handleAppMessage(const QString &message)
{
    qDebug().noquote() << "handleAppMessage" << message;
    show();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape would reject the dialog, hiding the program's only window and ending the program
    // with whatever the tables hold. The main window ignores it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
