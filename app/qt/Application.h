#pragma once

#include <QApplication>
#include <QString>

namespace pix {

// The application object. Event handlers catch nothing; a failure that
// escapes one ends that handler only: it is shown in the error box and the
// event loop goes on with the state the handler left.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Modal, stop icon, one OK button, owned by the active window; the
    // message is shown after the full-stop rule.
    static void ShowErrorBox(const QString& message);
    // Modal, no icon, one OK button, centred on the screen.
    static void ShowNoticeBox(const QString& text);
};

} // namespace pix
