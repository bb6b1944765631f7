#pragma once

#include "platform/TrustDecider.h"

#include <QObject>
#include <QString>

namespace vantiro {

class MessageBoxes;

// Asks the user in a Yes/No box whether to trust a server key that nothing vouches for. The
// connection may run on another thread than the window: the box is then shown on the thread
// this object was made on (the window's), and the connection waits for the answer.
class QtTrustDecider final : public TrustDecider {
public:
    explicit QtTrustDecider(MessageBoxes& boxes);

    bool trustHostKey(const HostKeyQuestion& question) override;

    // The box's text: the host, the fingerprint, and for a changed key a warning first.
    static QString questionText(const HostKeyQuestion& question);

private:
    MessageBoxes& boxes_;
    QObject guiThread_;
};

} // namespace vantiro
