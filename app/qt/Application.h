#pragma once

#include <QApplication>
#include <QString>
#include <QTranslator>

namespace pix {

// The application object. Event handlers catch nothing; a failure that
// escapes one ends that handler only: it is shown in the error box and the
// event loop goes on with the state the handler left.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own texts (the buttons and labels of file dialogs and message
    // boxes) in the window's language, whatever the user's locale. Without
    // the translation file in folder they stay English and false is returned.
    bool LoadDialogTranslation(const QString& folder);

    // Modal, stop icon, one OK button, owned by the active window; the
    // message is shown after the full-stop rule.
    static void ShowErrorBox(const QString& message);
    // Modal, no icon, one OK button, centred on the screen.
    static void ShowNoticeBox(const QString& text);

private:
    QTranslator fDialogTranslation;
};

} // namespace pix
