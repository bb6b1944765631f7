#include "qt/platform/QtTrustDecider.h"

#include "core/text/Cp1252.h"
#include "qt/platform/MessageBoxes.h"

#include <QThread>

namespace vantiro {
namespace {

QString text(const std::string& windows1252)
{
    return QString::fromStdString(Cp1252::toUtf8(windows1252));
}

// The same key as hosting panels and browsers show it: SHA-256 in hex pairs, for TLS of the
// whole certificate.
QString hexLine(const HostKeyQuestion& question)
{
    if (question.hexFingerprint.empty())
        return {};
    return (question.kind == HostKeyQuestion::Kind::Tls
                ? QStringLiteral("SHA-256 des Zertifikats:\n%1\n")
                : QStringLiteral("SHA-256 (Hex):\n%1\n"))
        .arg(text(question.hexFingerprint));
}

} // namespace

QtTrustDecider::QtTrustDecider(MessageBoxes& boxes) : boxes_(boxes) {}

QString QtTrustDecider::questionText(const HostKeyQuestion& question)
{
    const bool tls = question.kind == HostKeyQuestion::Kind::Tls;
    const QString server =
        text(question.host) + QStringLiteral(":") + QString::number(question.port);
    QString body;
    if (question.changed) {
        body = QStringLiteral("ACHTUNG: Der Schlüssel des Servers %1 hat sich geändert!\n\n"
                              "Das kann ein neuer Server sein, aber auch jemand, der sich "
                              "dazwischen geschaltet hat, um Ihr Passwort und Ihre Daten "
                              "abzufangen. Fragen Sie im Zweifel Ihren Anbieter.\n\n")
                   .arg(server);
        if (!question.previousFingerprint.empty())
            body += QStringLiteral("Bisheriger Fingerabdruck:\n%1\n\n")
                        .arg(text(question.previousFingerprint));
        body += QStringLiteral("Neuer Fingerabdruck:\n%1\n").arg(text(question.fingerprint)) +
                hexLine(question) + QStringLiteral("\n");
    } else {
        body =
            QStringLiteral("Der Server %1 weist sich mit einem %2 aus, dem dieses System nicht "
                           "vertraut (%3).\n\nFingerabdruck:\n%4\n")
                .arg(server, tls ? QStringLiteral("Zertifikat") : QStringLiteral("SSH-Schlüssel"),
                     text(question.reason), text(question.fingerprint)) +
            hexLine(question) + QStringLiteral("\n");
    }
    body += QStringLiteral("Vergleichen Sie den Fingerabdruck mit dem, den Ihr Anbieter nennt. "
                           "Nur wenn er übereinstimmt: Diesem Schlüssel vertrauen und verbinden? "
                           "Er wird dann für diesen Server gespeichert.");
    return body;
}

bool QtTrustDecider::trustHostKey(const HostKeyQuestion& question)
{
    const QString body = questionText(question);
    const MessageBoxes::Icon icon =
        question.changed ? MessageBoxes::Icon::Exclamation : MessageBoxes::Icon::Question;
    if (QThread::currentThread() == guiThread_.thread())
        return boxes_.question(QString(), body, icon);
    bool answer = false;
    QMetaObject::invokeMethod(
        &guiThread_, [&] { return boxes_.question(QString(), body, icon); },
        Qt::BlockingQueuedConnection, &answer);
    return answer;
}

} // namespace vantiro
