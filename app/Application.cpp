#include "app/Application.h"

#include "app/Messages.h"

#include <QFileInfo>
#include <QMessageBox>

#include <exception>

namespace pix {

QString ApplicationTitle(const QString& programFilePath)
{
    const QString fileName = QFileInfo(programFilePath).fileName();
    const QString stem = fileName.left(fileName.indexOf(QLatin1Char('.')));
    return stem.left(1) + stem.mid(1).toLower();
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ShowErrorBox(QString::fromUtf8(failure.what()));
        return true;
    }
}

namespace {

void ShowMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* owner)
{
    QMessageBox box(icon, ApplicationTitle(QCoreApplication::applicationFilePath()), text,
                    QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void TApplication::ShowErrorBox(const QString& message)
{
    const std::string shown = WithFullStop(message.toStdString());
    ShowMessageBox(QMessageBox::Critical, QString::fromStdString(shown), QApplication::activeWindow());
}

void TApplication::ShowNoticeBox(const QString& text)
{
    ShowMessageBox(QMessageBox::NoIcon, text, nullptr);
}

} // namespace pix
