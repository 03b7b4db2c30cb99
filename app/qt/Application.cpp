#include "app/qt/Application.h"

#include "app/core/Messages.h"

#include <QLibraryInfo>
#include <QMessageBox>

#include <exception>

namespace pix {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    LoadDialogTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool TApplication::LoadDialogTranslation(const QString& folder)
{
    removeTranslator(&fDialogTranslation);
    if (!fDialogTranslation.load(QStringLiteral("qtbase_uk"), folder))
        return false;
    installTranslator(&fDialogTranslation);
    return true;
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ShowErrorBox(QString::fromStdString(FailureMessage(failure)));
        return true;
    }
}

namespace {

void ShowMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* owner)
{
    const std::string title = ApplicationTitle(QCoreApplication::applicationFilePath().toStdString());
    QMessageBox box(icon, QString::fromStdString(title), text, QMessageBox::Ok, owner);
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
