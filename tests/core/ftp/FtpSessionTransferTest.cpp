#include "FtpSessionFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

namespace vantiro {
namespace {

using test::downloadFailed;
using test::file;
using test::folder;
using test::FtpSessionTest;
using test::noLine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(FtpSessionTest, TransfersUseTheTransferTypeChosenLast)
{
    server->add("/", "a.txt", file);
    server->add("/", "b.txt", file);
    connect();
    test::writeFile(local.file("up.txt"), "x");
    view.localFiles = {"up.txt"};
    view.selectedFiles = {"up.txt"};

    view.pick("a.txt");
    session.download();
    session.selectTransferType(TransferType::Binary);
    view.pick("b.txt");
    session.download();
    session.upload();

    EXPECT_THAT(callsStartingWith("get"), ElementsAre("get a.txt ascii", "get b.txt binary"));
    EXPECT_THAT(callsStartingWith("put"),
                ElementsAre("put " + local.file("up.txt") + " > up.txt binary"));
    session.load();
    EXPECT_EQ(session.currentTransferType(), TransferType::Ascii);
}

TEST_F(FtpSessionTest, UploadSendsTheSelectedExistingFilesThenShowsTheFolderAgain)
{
    connect();
    test::writeFile(local.file("eins.htm"), "1");
    test::writeFile(local.file("zwei.htm"), "2");
    view.localFiles = {"eins.htm", "weg.htm", "zwei.htm"};
    view.selectedFiles = {"eins.htm", "weg.htm", "zwei.htm"};
    server->refusedNames.insert("eins.htm");

    session.upload();

    EXPECT_THAT(server->calls,
                ElementsAre("cwd /", "put " + local.file("eins.htm") + " > eins.htm ascii", "cwd /",
                            "put " + local.file("zwei.htm") + " > zwei.htm ascii", "cwd /",
                            "find *.*"));
    EXPECT_THAT(view.messages, ElementsAre("\xDC"
                                           "bertragungsfehler!"));
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "zwei.htm"));
    // Each file's steps show only what goes wrong; the status names the file of the run.
    std::vector<std::string> during(
        view.statuses.begin(),
        std::find(view.statuses.begin(), view.statuses.end(), "Setze Pfad..."));
    during.erase(std::unique(during.begin(), during.end()), during.end());
    EXPECT_THAT(during, ElementsAre("\xDC"
                                    "bertrage Datei 1 von 3: eins.htm",
                                    "550 Nicht erlaubt",
                                    "\xDC"
                                    "bertrage Datei 2 von 3: weg.htm",
                                    "\xDC"
                                    "bertrage Datei 3 von 3: zwei.htm"));
    EXPECT_EQ(view.progress.front(), std::make_pair(std::size_t{0}, std::size_t{3}));
    EXPECT_EQ(view.progress[3], std::make_pair(std::size_t{3}, std::size_t{3}));
    EXPECT_EQ(view.progress.back(), std::make_pair(std::size_t{0}, std::size_t{0}));
}

TEST_F(FtpSessionTest, UploadWithoutSelectionOnlyRereadsAndWithoutLocalFilesDoesNothing)
{
    connect();
    view.localFiles = {"a.htm"};
    session.upload();
    EXPECT_THAT(server->calls, ElementsAre("cwd /", "find *.*"));

    server->calls.clear();
    view.localFiles.clear();
    session.upload();
    EXPECT_THAT(server->calls, IsEmpty());
}

TEST_F(FtpSessionTest, DownloadFetchesSelectedFilesSkipsFoldersAndKeepsExistingLocalFiles)
{
    server->add("/", "neu.htm", file);
    server->add("/", "da.htm", file);
    server->add("/", "ordner", folder);
    server->add("/", "ro", folder | FtpEntry::readOnlyAttribute);
    server->fileContents["neu.htm"] = "vom Server";
    server->fileContents["da.htm"] = "vom Server";
    test::writeFile(local.file("da.htm"), "lokal");
    connect();
    view.pick("ORDNER");
    view.selectedLines = {0, 1, 2, 3, 4, 5};

    session.download();

    EXPECT_THAT(callsStartingWith("get"),
                ElementsAre("get da.htm ascii", "get neu.htm ascii", "get ro ascii"));
    EXPECT_EQ(test::readFile(local.file("neu.htm")), "vom Server");
    EXPECT_EQ(test::readFile(local.file("da.htm")), "lokal");
    EXPECT_THAT(view.messages, ElementsAre(downloadFailed));
    EXPECT_EQ(view.refreshes, 3);
    EXPECT_THAT(callsStartingWith("find"), IsEmpty()) << "the listing is not read again";
}

TEST_F(FtpSessionTest, DownloadWithoutCurrentLineOrOfOnlyFoldersFetchesNothing)
{
    server->add("/", "ordner", folder);
    connect();

    session.download();
    EXPECT_THAT(view.messages, ElementsAre(noLine));

    view.pick("ORDNER");
    session.download();
    EXPECT_THAT(view.messages, ElementsAre(noLine));
    EXPECT_THAT(server->calls, IsEmpty());
}

TEST_F(FtpSessionTest, NamesThatCouldLeaveTheLocalFolderAreNeverDownloaded)
{
    for (const char* name : {"..\\boese.htm", "a/../../boese.htm"})
        server->add("/", name, file);
    server->add("/", "..", file);
    connect();
    view.currentLine = 0;
    view.selectedLines = {0, 1, 2, 3, 4};

    session.download();

    EXPECT_THAT(callsStartingWith("get"), IsEmpty());
    EXPECT_THAT(view.messages, ElementsAre(downloadFailed, downloadFailed, downloadFailed));
}

TEST_F(FtpSessionTest, DownloadBytesCountAgainstTheListedSizeWhenTheServerNamesNone)
{
    server->add("/", "gross.bin", file, 500000);
    server->add("/", "leer.bin", file, 0);
    server->add("/", "klein.bin", file, 10);
    server->sizeUnknown = true;
    server->transferSize = 1000;
    connect();

    for (const char* name : {"gross.bin", "leer.bin", "klein.bin"}) {
        view.pick(name);
        session.download();
    }

    EXPECT_THAT(view.fileProgress, ::testing::Contains(::testing::Pair(1000U, 500000U)));
    EXPECT_THAT(view.fileProgress, ::testing::Contains(::testing::Pair(1000U, 0U)))
        << "a size the listing does not know stays unknown";
    EXPECT_THAT(view.fileProgress, ::testing::Contains(::testing::Pair(1000U, 1000U)))
        << "never more done than the whole";

    server->sizeUnknown = false;
    test::writeFile(local.file("hoch.htm"), "x");
    view.localFiles = view.selectedFiles = {"hoch.htm"};
    view.fileProgress.clear();
    server->sizeUnknown = true;
    session.upload();
    EXPECT_THAT(view.fileProgress, ::testing::Contains(::testing::Pair(1000U, 0U)))
        << "an upload after a download takes no listed size";
}

TEST_F(FtpSessionTest, DropDuringUploadStopsBeforeTheRemainingFiles)
{
    connect();
    for (const char* name : {"1.htm", "2.htm", "3.htm"})
        test::writeFile(local.file(name), "x");
    view.localFiles = view.selectedFiles = {"1.htm", "2.htm", "3.htm"};
    server->dropAfterCalls = 3;

    session.upload();

    EXPECT_EQ(callsStartingWith("put").size(), 2U);
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_THAT(view.messages, IsEmpty());
    EXPECT_FALSE(session.transferRunning());
}

TEST_F(FtpSessionTest, DuringARunTheStatusNamesTheFileAndItsNumber)
{
    server->add("/", "seite.htm", file);
    server->add("/",
                "gr\xC3\xB6\xC3\x9F"
                "e.htm",
                file);
    server->add("/", "\xE4rger.htm", file);
    connect();
    view.selectedLines = {0, 1, 2, 3, 4};
    view.currentLine = 2;

    session.download();

    std::vector<std::string> shown = view.statuses;
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_THAT(shown, ElementsAre("Lade Datei 1 von 3: gr\xC3\xB6\xC3\x9F"
                                   "e.htm",
                                   "Lade Datei 2 von 3: seite.htm",
                                   "Lade Datei 3 von 3: \xE4rger.htm", "Ok"))
        << "a UTF-8 name keeps its encoding, any other name goes as Windows-1252";
}

// An outage under UP: the session waits, logs in again, sends the file that failed again and
// goes on with the rest, with the try in the status line.
TEST_F(FtpSessionTest, UploadLogsInAgainAfterAnOutageAndSendsTheFailedFileAgain)
{
    connect();
    for (const char* name : {"1.htm", "2.htm", "3.htm"})
        test::writeFile(local.file(name), "x");
    view.localFiles = view.selectedFiles = {"1.htm", "2.htm", "3.htm"};
    bool outage = true;
    server->onCall = [&](const std::string& call) {
        if (outage && call.starts_with("put") && call.find("2.htm") != std::string::npos) {
            outage = false;
            server->dropped = true;
        }
    };
    onPause = [&] { server->dropped = false; };

    session.upload();

    const auto puts = callsStartingWith("put");
    ASSERT_EQ(puts.size(), 4U);
    EXPECT_NE(puts[1].find("2.htm"), std::string::npos);
    EXPECT_NE(puts[2].find("2.htm"), std::string::npos);
    EXPECT_NE(puts[3].find("3.htm"), std::string::npos);
    EXPECT_THAT(callsStartingWith("connect"), ElementsAre("connect ftp.example.test anna"));
    EXPECT_EQ(server->lastPassword, view.password);
    EXPECT_THAT(view.statuses,
                ::testing::Contains("Verbindung unterbrochen - neuer Versuch 1 von 5 in 1 s"));
    EXPECT_GE(paused, std::chrono::milliseconds(1000));
    EXPECT_LT(paused, std::chrono::milliseconds(1300));
    EXPECT_EQ(view.state, "connected");
    EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(FtpSessionTest, DownloadLogsInAgainAfterAStallAndFetchesTheFileAgain)
{
    server->add("/", "a.htm", file);
    server->fileContents["a.htm"] = "Seite";
    connect();
    view.pick("a.htm");
    bool outage = true;
    server->onCall = [&](const std::string& call) {
        if (outage && call.starts_with("get")) {
            outage = false;
            server->dropped = true;
            server->droppedResponse = {12002, "Zeit\xFC"
                                              "berschreitung"};
        }
    };
    onPause = [&] { server->dropped = false; };

    session.download();

    EXPECT_THAT(callsStartingWith("get"), ::testing::SizeIs(2));
    EXPECT_EQ(test::readFile(local.file("a.htm")), "Seite");
    EXPECT_THAT(view.messages, IsEmpty());
    EXPECT_EQ(view.state, "connected");
}

TEST_F(FtpSessionTest, OutageThatOutlastsFiveTriesEndsTheRunAsBefore)
{
    connect();
    for (const char* name : {"1.htm", "2.htm"})
        test::writeFile(local.file(name), "x");
    view.localFiles = view.selectedFiles = {"1.htm", "2.htm"};
    server->dropAfterCalls = 1;

    session.upload();

    EXPECT_THAT(callsStartingWith("connect"), ::testing::SizeIs(5));
    EXPECT_THAT(view.statuses, ::testing::Contains(::testing::StartsWith(
                                   "Verbindung unterbrochen - neuer Versuch 5 von 5 in ")));
    // 1 + 5 + 15 + 30 + 60 s, each up to a fifth longer: about two minutes.
    EXPECT_GE(paused, std::chrono::milliseconds(111000));
    EXPECT_LE(paused, std::chrono::milliseconds(133200));
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.statuses.back(),
              "Verbindung zum Server unterbrochen - 12030 Verbindung abgebrochen");
    EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(FtpSessionTest, DisconnectDuringThePauseStopsAtOnceWithoutLoggingInAgain)
{
    connect();
    test::writeFile(local.file("1.htm"), "x");
    view.localFiles = view.selectedFiles = {"1.htm"};
    server->dropAfterCalls = 1;
    int pauses = 0;
    onPause = [&] {
        if (++pauses == 3)
            session.disconnect();
    };

    session.upload();

    EXPECT_EQ(pauses, 3);
    EXPECT_THAT(callsStartingWith("connect"), IsEmpty());
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.statuses.back(), "Abgebrochen - Verbindung getrennt");
    EXPECT_FALSE(session.transferRunning());
}

// SHOW/OPEN runs outside UP and DOWN, where DISCONNECT could not end a wait: it does not wait.
TEST_F(FtpSessionTest, ShowDuringAnOutageDoesNotWaitForANewLogin)
{
    server->add("/", "a.htm", file);
    connect();
    view.pick("a.htm");
    server->dropped = true;

    session.showRemoteFile();

    EXPECT_EQ(paused, std::chrono::milliseconds(0));
    EXPECT_THAT(callsStartingWith("connect"), IsEmpty());
    EXPECT_EQ(view.state, "disconnected");
}

// UP and DOWN on four connections: the window's own plus three logged in for the run.
class FtpSessionParallelTest : public FtpSessionTest {
protected:
    FtpSessionParallelTest()
    {
        session.setConnections(4);
        // Called from the run's threads at once.
        session.setPause([this](std::chrono::milliseconds) {
            const std::lock_guard lock(pauseMutex);
            ++pauses;
            server->dropped = false;
        });
    }

    // Connected, inside the folder "web", with count local files selected; their sizes differ.
    std::uint64_t enterWebWithLocalFiles(int count)
    {
        server->add("/", "web", folder);
        connect();
        view.pick("WEB");
        session.serverLineDoubleClicked();
        server->calls.clear();
        view.statuses.clear();
        std::uint64_t bytes = 0;
        for (int i = 0; i < count; ++i) {
            const std::string name = "s" + std::to_string(i) + ".htm";
            test::writeFile(local.file(name), std::string(static_cast<std::size_t>(i + 1), 'x'));
            bytes += static_cast<std::uint64_t>(i + 1);
            view.localFiles.push_back(name);
        }
        view.selectedFiles = view.localFiles;
        return bytes;
    }

    std::mutex pauseMutex;
    int pauses = 0;
};

TEST_F(FtpSessionParallelTest, UploadSendsEveryFileOnceByItsFullPathAndRereadsTheFolderOnce)
{
    const std::uint64_t bytes = enterWebWithLocalFiles(10);

    session.upload();

    EXPECT_EQ(server->clientsCreated, 4);
    EXPECT_THAT(callsStartingWith("connect"), ::testing::SizeIs(3));
    std::vector<std::string> puts = callsStartingWith("put");
    std::sort(puts.begin(), puts.end());
    std::vector<std::string> expected;
    for (const std::string& name : view.localFiles)
        expected.push_back("put " + local.file(name) + " > /web/" + name + " ascii");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(puts, expected);
    // No folder change for any file: only the reading of the folder at the end.
    EXPECT_THAT(callsStartingWith("cwd"), ElementsAre("cwd /web/"));
    EXPECT_THAT(callsStartingWith("find"), ::testing::SizeIs(1));
    EXPECT_EQ(server->folders["/web"].size(), 10U);
    EXPECT_EQ(view.lines.size(), 12U);
    EXPECT_THAT(view.messages, IsEmpty());
    EXPECT_EQ(server->closes, 3) << "the further connections end with the run";
    EXPECT_EQ(server->clientsDestroyed, 3);
    EXPECT_EQ(view.state, "connected");
    EXPECT_FALSE(session.transferRunning());

    // The bar counts the files and the bytes of the whole run and is hidden at the end.
    ASSERT_GE(view.runProgress.size(), 3U);
    EXPECT_EQ(view.runProgress.front(), (std::array<std::uint64_t, 4>{0, 10, 0, bytes}));
    EXPECT_EQ(view.runProgress[view.runProgress.size() - 2],
              (std::array<std::uint64_t, 4>{10, 10, bytes, bytes}));
    EXPECT_EQ(view.runProgress.back(), (std::array<std::uint64_t, 4>{0, 0, 0, 0}));
    for (std::size_t i = 1; i + 1 < view.runProgress.size(); ++i)
        EXPECT_LE(view.runProgress[i][2], bytes);
    EXPECT_EQ(view.statuses.front(), "\xDC"
                                     "bertrage 10 Dateien \xFC"
                                     "ber 4 Verbindungen...");
}

TEST_F(FtpSessionParallelTest, NoMoreConnectionsThanFilesAndOneFileUsesOnlyTheWindowsOwn)
{
    enterWebWithLocalFiles(2);
    session.upload();
    EXPECT_EQ(server->clientsCreated, 2);
    EXPECT_THAT(callsStartingWith("put"), ::testing::SizeIs(2));

    view.selectedFiles = {"s0.htm"};
    server->calls.clear();
    session.upload();
    EXPECT_EQ(server->clientsCreated, 2);
    EXPECT_THAT(callsStartingWith("put"),
                ElementsAre("put " + local.file("s0.htm") + " > s0.htm ascii"));
}

TEST_F(FtpSessionParallelTest, RefusedFurtherConnectionsAreDroppedWithOneNoteAndEveryFileGoes)
{
    enterWebWithLocalFiles(6);
    // Like pure-ftpd at its limit: the first login stands, every further one gets a 530.
    server->loginAccepted = false;
    server->failureResponse = {530, "530 Sorry, the maximum number of clients"};

    session.upload();

    EXPECT_EQ(server->folders["/web"].size(), 6U);
    EXPECT_THAT(callsStartingWith("put"), ::testing::SizeIs(6));
    EXPECT_THAT(view.messages, IsEmpty());
    const std::string note = "Der Server hat 3 von 4 Verbindungen abgelehnt (530 Sorry, the "
                             "maximum number of clients); es geht mit 1 Verbindung weiter";
    EXPECT_THAT(view.statuses.back(), ::testing::EndsWith(" - " + note));
    EXPECT_EQ(std::count_if(view.statuses.begin(), view.statuses.end(),
                            [&](const std::string& status) {
                                return status.find(note + " - " + note) != std::string::npos;
                            }),
              0);
    EXPECT_EQ(view.state, "connected");
    EXPECT_EQ(server->clientsDestroyed, 3);
}

TEST_F(FtpSessionParallelTest, FilesThatFailShowOneMessageAndTheOthersStillGo)
{
    enterWebWithLocalFiles(8);
    server->refusedNames = {"s1.htm", "s5.htm"};

    session.upload();

    EXPECT_EQ(server->folders["/web"].size(), 6U);
    EXPECT_THAT(view.messages, ElementsAre("\xDC"
                                           "bertragungsfehler!"));
    EXPECT_EQ(view.state, "connected");
}

TEST_F(FtpSessionParallelTest, AnOutageIsRiddenOutByEveryConnectionAndNoFileIsLost)
{
    enterWebWithLocalFiles(12);
    bool outage = true;
    server->onCall = [&](const std::string& call) {
        if (outage && call.find("s6.htm") != std::string::npos) {
            outage = false;
            server->dropped = true;
        }
    };

    session.upload();

    EXPECT_EQ(server->folders["/web"].size(), 12U);
    EXPECT_GE(pauses, 1);
    // The wait shows in the status line, and the run's own text after the new login.
    EXPECT_THAT(view.runStatuses,
                ::testing::Contains("Verbindung unterbrochen - neuer Versuch 1 von 5 in 1 s"));
    EXPECT_THAT(view.runStatuses, ::testing::Contains("\xDC"
                                                      "bertrage 12 Dateien \xFC"
                                                      "ber 4 Verbindungen..."));
    EXPECT_EQ(view.runStatuses.back(), "");
    EXPECT_THAT(view.messages, IsEmpty());
    EXPECT_EQ(view.state, "connected");
}

TEST_F(FtpSessionParallelTest, DisconnectStopsEveryConnectionAtOnce)
{
    enterWebWithLocalFiles(40);
    bool asked = false;
    server->onCall = [&](const std::string& call) {
        if (!asked && call.starts_with("put")) {
            asked = true;
            session.disconnect();
        }
    };

    session.upload();

    EXPECT_EQ(server->cancels, 4) << "the window's connection and the three further ones";
    EXPECT_LT(callsStartingWith("put").size(), 10U);
    EXPECT_THAT(callsStartingWith("find"), IsEmpty());
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.statuses.back(), "Abgebrochen - Verbindung getrennt");
    EXPECT_EQ(server->clientsDestroyed, server->clientsCreated);
    EXPECT_FALSE(session.running());
    EXPECT_EQ(view.runProgress.back(), (std::array<std::uint64_t, 4>{0, 0, 0, 0}));
}

TEST_F(FtpSessionParallelTest, DownloadFetchesEveryFileByItsFullPathAndRefreshesTheListOnce)
{
    server->add("/", "web", folder);
    for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"}) {
        server->add("/web", name, file, 5);
        server->fileContents[name] = std::string("Seite ") + name;
    }
    server->add("/web", "..\\boese.htm", file, 5);
    connect();
    view.pick("WEB");
    session.serverLineDoubleClicked();
    server->calls.clear();
    view.selectedLines.clear();
    for (std::size_t i = 2; i < view.lines.size(); ++i)
        view.selectedLines.push_back(static_cast<int>(i));
    view.currentLine = 2;

    session.download();

    for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"})
        EXPECT_EQ(test::readFile(local.file(name)), std::string("Seite ") + name);
    std::vector<std::string> gets = callsStartingWith("get");
    std::sort(gets.begin(), gets.end());
    EXPECT_THAT(gets,
                ElementsAre("get /web/a.htm ascii", "get /web/b.htm ascii", "get /web/c.htm ascii",
                            "get /web/d.htm ascii", "get /web/e.htm ascii"));
    EXPECT_THAT(callsStartingWith("cwd"), IsEmpty());
    EXPECT_EQ(view.refreshes, 1);
    // The name that would leave the local folder is never fetched; it is the one failure.
    EXPECT_THAT(view.messages, ElementsAre(downloadFailed));
    EXPECT_EQ(view.runProgress[view.runProgress.size() - 2],
              (std::array<std::uint64_t, 4>{5, 5, 25, 25}));
}

} // namespace
} // namespace vantiro
