#include "qt/platform/QtTrustDecider.h"
#include "qt/platform/QtMessageBoxes.h"
#include "support/FakeMessageBoxes.h"
#include "support/QtTestApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

namespace vantiro {
namespace {

using test::FakeMessageBoxes;

HostKeyQuestion unknownCertificate()
{
    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Tls;
    question.host = "ftp.example.org";
    question.port = 21;
    question.fingerprint = "SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU";
    question.hexFingerprint = "E3:B0:C4:42:98:FC:1C:14:9A:FB:F4:C8:99:6F:B9:24:"
                              "27:AE:41:E4:64:9B:93:4C:A4:95:99:1B:78:52:B8:55";
    question.reason = "selbst signiertes Zertifikat";
    return question;
}

TEST(QtTrustDeciderTest, AsksWithHostAndFingerprintAndTrustsOnlyOnYes)
{
    test::qtTestApplication();
    FakeMessageBoxes boxes;
    boxes.yesNoAnswers = {true, false};
    QtTrustDecider decider(boxes);

    EXPECT_TRUE(decider.trustHostKey(unknownCertificate()));
    EXPECT_FALSE(decider.trustHostKey(unknownCertificate()));
    ASSERT_EQ(boxes.yesNoQuestions.size(), 2u);
    const FakeMessageBoxes::Message& asked = boxes.yesNoQuestions.front();
    EXPECT_EQ(asked.title, QString()) << "the FTP window's boxes show the application's title";
    EXPECT_EQ(asked.icon, MessageBoxes::Icon::Question);
    EXPECT_TRUE(asked.text.contains("ftp.example.org:21"));
    EXPECT_TRUE(asked.text.contains("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU"));
    // The form hosting panels and browsers publish, too.
    EXPECT_TRUE(asked.text.contains("SHA-256 des Zertifikats:\nE3:B0:C4:42:"));
    EXPECT_TRUE(asked.text.contains(QStringLiteral("Zertifikat")));
    EXPECT_TRUE(asked.text.contains(QStringLiteral("selbst signiertes Zertifikat")));
    EXPECT_FALSE(asked.text.contains("ACHTUNG"));
}

TEST(QtTrustDeciderTest, ChangedKeyIsAWarningWithBothFingerprints)
{
    test::qtTestApplication();
    FakeMessageBoxes boxes;
    QtTrustDecider decider(boxes);
    HostKeyQuestion question = unknownCertificate();
    question.kind = HostKeyQuestion::Kind::Ssh;
    question.port = 22;
    question.changed = true;
    question.previousFingerprint = "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";

    EXPECT_FALSE(decider.trustHostKey(question)) << "no answer is no";
    ASSERT_EQ(boxes.yesNoQuestions.size(), 1u);
    const QString& text = boxes.yesNoQuestions.front().text;
    EXPECT_EQ(boxes.yesNoQuestions.front().icon, MessageBoxes::Icon::Exclamation);
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("ACHTUNG: Der Schlüssel des Servers ftp.example.org:22 hat sich geändert!")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(question.previousFingerprint)));
    EXPECT_TRUE(text.contains(QString::fromStdString(question.fingerprint)));
    EXPECT_TRUE(
        text.contains("SHA-256 (Hex):\n" + QString::fromStdString(question.hexFingerprint)));
}

// Remembers the thread each question was shown on.
class ThreadRecordingBoxes final : public MessageBoxes {
public:
    std::atomic<QThread*> shownOn = nullptr;

    void message(const QString&, const QString&, Icon) override {}
    bool question(const QString&, const QString&, Icon) override
    {
        shownOn = QThread::currentThread();
        return true;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};

TEST(QtTrustDeciderTest, QuestionFromAConnectionThreadIsShownOnTheWindowsThread)
{
    test::qtTestApplication();
    ThreadRecordingBoxes boxes;
    QtTrustDecider decider(boxes);
    std::atomic<bool> finished = false;
    std::atomic<bool> answer = false;
    std::thread connection([&] {
        answer = decider.trustHostKey(unknownCertificate());
        finished = true;
    });
    QElapsedTimer waited;
    waited.start();
    while (!finished && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    connection.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(boxes.shownOn.load(), QThread::currentThread());
}

TEST(QtTrustDeciderTest, RealQuestionBoxPreselectsNo)
{
    test::qtTestApplication();
    QtMessageBoxes boxes;
    QMessageBox::StandardButton preselected = QMessageBox::NoButton;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        preselected = box->standardButton(box->defaultButton());
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(
        boxes.question(QString(), QStringLiteral("Vertrauen?"), MessageBoxes::Icon::Question));
    EXPECT_EQ(preselected, QMessageBox::No);
}

} // namespace
} // namespace vantiro
