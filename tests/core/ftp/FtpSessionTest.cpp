#include "FtpSessionFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantiro {
namespace {

using test::downloadFailed;
using test::file;
using test::folder;
using test::FtpSessionTest;
using test::noLine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(FtpSessionTest, ConnectListsTheTopFolderAndEntersTheConnectedState)
{
    server->add("/", "index.htm", file);
    server->add("/", "images", folder);

    session.connect();

    EXPECT_EQ(view.location, "ftp.example.test/");
    EXPECT_EQ(view.state, "connected");
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "IMAGES", "index.htm"));
    EXPECT_THAT(server->calls, ElementsAre("connect ftp.example.test anna", "cwd /", "find *.*"));
    EXPECT_THAT(view.statuses,
                ElementsAre("Verbinde...", "Ok", "Setze Pfad...", "Ok", "Lese Verzeichnis...", "Ok",
                            "Sortiere Verzeichnis...", "Ok", "Ok"));
    EXPECT_TRUE(server->lastPassive);
    EXPECT_EQ(server->lastPassword, "geheim");
    for (const std::string& status : view.statuses)
        EXPECT_EQ(status.find("geheim"), std::string::npos);
}

TEST_F(FtpSessionTest, FailedConnectShowsTheErrorKeepsTheLocationAndReleasesTheSession)
{
    view.server = "";
    session.connect();
    EXPECT_EQ(view.statuses.back(), "Fehler beim Verbindungsaufbau - 550 Nicht erlaubt");
    EXPECT_EQ(view.location, "/");
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(server->clientsDestroyed, 1);
    EXPECT_EQ(server->closes, 0);

    factoryFails = true;
    view.server = "ftp.example.test";
    session.connect();
    EXPECT_THAT(view.statuses, ElementsAre("Verbinde...", "550 Nicht erlaubt",
                                           "Fehler beim Verbindungsaufbau - 550 Nicht erlaubt",
                                           "Verbinde...", "Fehler beim Verbindungsaufbau"));
    EXPECT_FALSE(session.connected());
}

TEST_F(FtpSessionTest, FailedConnectNamesItsCauseAfterTheFixedWords)
{
    struct Case {
        std::string server;
        FtpResponse response;
        std::string cause;
    };
    const std::vector<Case> cases = {
        {"ftp.example.test", {530, "530 Login incorrect.\r\n"}, "530 Login incorrect."},
        {"ftp.example.test", {530, "Anmeldung fehlgeschlagen"}, "530 Anmeldung fehlgeschlagen"},
        {"ftp.example.test",
         {12002, "Zeit\xFC"
                 "berschreitung"},
         "keine Antwort vom Server"},
        {"ftp.example.test:2", {12007, "Keine Verbindung"}, "Verbindung abgelehnt"},
        {"nirgends.test", {12006, "Servername nicht gefunden (x)"}, "Servername nicht gefunden"},
        {"SFTP://ftp.example.test",
         {12060, "Schl\xFCssel abgelehnt"},
         "Schl\xFCssel nicht angenommen"},
        {"ftps://ftp.example.test", {12060, "Zertifikat"}, "Zertifikat nicht angenommen"},
        {"ftpes://ftp.example.test",
         {12064, "Keine Verschl\xFCsselung"},
         "Server bietet keine Verschl\xFCsselung an"},
        {"ftp.example.test", {12003, "Ung\xFCltige Serveradresse"}, "Ung\xFCltige Serveradresse"},
    };
    server->loginAccepted = false;
    for (const Case& c : cases) {
        view.server = c.server;
        server->failureResponse = c.response;
        session.connect();
        EXPECT_EQ(view.statuses.back(), "Fehler beim Verbindungsaufbau - " + c.cause)
            << c.response.text;
        EXPECT_EQ(view.state, "disconnected");
    }
}

TEST_F(FtpSessionTest, UnloadWhileConnectedClosesConnectionThenSessionOnce)
{
    connect();
    session.unload();
    session.unload();
    EXPECT_EQ(server->closes, 1);
    EXPECT_EQ(server->clientsDestroyed, 1);
}

TEST_F(FtpSessionTest, DisconnectEmptiesListAndLocationAndClosesEachHandleOnce)
{
    connect();
    view.setDetails("Mo 2.9.2002 um 14:05", "5", "N");

    session.disconnect();
    session.disconnect();
    session.unload();

    EXPECT_THAT(view.lines, IsEmpty());
    EXPECT_EQ(view.location, "");
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_THAT(view.statuses, ElementsAre("Log off...", "Ok"));
    EXPECT_THAT(view.details, ElementsAre("", "", "")) << "no details of a closed folder";
    EXPECT_EQ(server->closes, 1);
    EXPECT_EQ(server->clientsDestroyed, 1);

    connect();
    EXPECT_EQ(server->clientsCreated, 2) << "every CONNECT opens its own session";
}

TEST_F(FtpSessionTest, ServerResponseShowsOkForCodeZeroAndEachCodeOnceOtherwise)
{
    server->response = {0, "226 Transfer complete"};
    connect();
    session.refresh();
    EXPECT_EQ(view.statuses.back(), "Ok");

    server->refusedNames.insert("x.htm");
    server->add("/", "x.htm", file);
    session.refresh();
    view.pick("x.htm");
    server->failureResponse = {550, "550 Permission denied.\r\n550 second line"};
    session.deleteRemoteEntry();
    EXPECT_EQ(view.statuses.back(), "550 Permission denied.\r\n550 second line");

    EXPECT_EQ(responseText({12017, "Abgebrochen"}), "12017 Abgebrochen") << "own code, own text";
    EXPECT_EQ(responseText({550, "5501 odd"}), "550 5501 odd");
    EXPECT_EQ(responseText({421, "421-Too many\r\n421 bye"}), "421-Too many\r\n421 bye");
}

TEST_F(FtpSessionTest, DoubleClicksWalkDownAndUpAlongTheLocationText)
{
    server->add("/", "a", folder);
    server->add("/a", "b", folder);
    server->add("/a/b", "seite.htm", file);
    connect();

    view.pick("A");
    session.serverLineDoubleClicked();
    EXPECT_EQ(view.location, "ftp.example.test/a/");
    view.pick("B");
    session.serverLineDoubleClicked();
    EXPECT_EQ(view.location, "ftp.example.test/a/b/");
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "seite.htm"));

    view.pick("..");
    session.serverLineDoubleClicked();
    EXPECT_EQ(view.location, "ftp.example.test/a/");
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "B"));
    view.pick("..");
    session.serverLineDoubleClicked();
    EXPECT_EQ(view.location, "ftp.example.test/");

    EXPECT_THAT(callsStartingWith("cwd"),
                ElementsAre("cwd /a/", "cwd /a/b/", "cwd /a/b/..", "cwd /a/.."));
}

TEST_F(FtpSessionTest, AFolderListedWithAHiddenFileFirstStillLeadsUp)
{
    server->add("/", "images", folder);
    server->add("/images", ".htaccess", file);
    server->add("/images", "bild.gif", file);
    connect();

    view.pick("IMAGES");
    session.serverLineDoubleClicked();
    EXPECT_THAT(view.lines, ElementsAre(".", "..", ".htaccess", "bild.gif"));
    view.pick("..");
    session.serverLineDoubleClicked();

    EXPECT_EQ(view.location, "ftp.example.test/");
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "IMAGES"));
}

TEST_F(FtpSessionTest, DoubleClickOnDotOnTopDotDotOrAFileChangesNothing)
{
    server->add("/", "datei.htm", file);
    connect();

    for (const char* line : {".", "..", "datei.htm"}) {
        view.pick(line);
        session.serverLineDoubleClicked();
    }

    EXPECT_EQ(view.location, "ftp.example.test/");
    EXPECT_THAT(server->calls, IsEmpty());
}

TEST_F(FtpSessionTest, RefusedFolderIsNamedByTheLocationAndShowsAnEmptyList)
{
    server->add("/", "weg", folder);
    connect();
    server->folders.erase("/weg");

    view.pick("WEG");
    session.serverLineDoubleClicked();

    EXPECT_EQ(view.location, "ftp.example.test/weg/");
    EXPECT_THAT(view.messages, ElementsAre("Verzeichnis nicht vorhanden!"));
    EXPECT_THAT(view.lines, IsEmpty());
    EXPECT_EQ(view.statuses.back(), "Ok");
}

TEST_F(FtpSessionTest, EditingTheServerFieldWhileConnectedDoesNotShiftTheRemotePath)
{
    server->add("/", "a", folder);
    connect();
    view.server = "anderer.server.test";

    view.pick("A");
    session.serverLineDoubleClicked();

    EXPECT_THAT(callsStartingWith("cwd"), ElementsAre("cwd /a/"));
    EXPECT_THAT(view.messages, IsEmpty());
}

TEST_F(FtpSessionTest, ClickOnALineShowsItsTimeSizeAndAttributeLetters)
{
    server->add("/", "ro", folder | FtpEntry::readOnlyAttribute, 4096);
    connect();

    view.pick("ro");
    session.serverLineClicked();

    EXPECT_THAT(view.details, ElementsAre("Mo 2.9.2002 um 14:05", "4096", "W D"));
}

TEST_F(FtpSessionTest, ShowRemoteFileShowsAFreshCopyUnderASafeNameInTheViewerFolderOnly)
{
    server->add("/", "Seite.htm", file);
    server->add("/", "ordner", folder);
    server->add("/", "qt.conf", file);
    server->add("/", "..\\b\x1b[2J\xE4se.desktop", file);
    server->fileContents["Seite.htm"] = "<p>alt";
    connect();

    view.pick("ORDNER");
    session.showRemoteFile();
    EXPECT_THAT(view.viewed, IsEmpty());
    EXPECT_THAT(view.messages, IsEmpty());

    view.pick("seite.htm");
    session.showRemoteFile();
    server->fileContents["Seite.htm"] = "<p>neu";
    session.showRemoteFile();
    const std::string copy = copies.file("Seite.htm");
    EXPECT_THAT(view.viewed, ElementsAre(copy, copy));
    EXPECT_EQ(test::readFile(copy), "<p>neu") << "the second SHOW fetches the file again";
    EXPECT_THAT(view.messages, IsEmpty());

    view.pick("qt.conf");
    session.showRemoteFile();
    view.pick("..\\b\x1b[2j\xC3\xA4se.desktop");
    session.showRemoteFile();
    EXPECT_EQ(view.viewed.back(), copies.file("_b__2J_se.desktop"));
    EXPECT_EQ(view.viewerTitles.back(), "..\\b\x1b[2J\xE4se.desktop") << "titled as received";
    EXPECT_FALSE(test::exists(local.file("qt.conf"))) << "nothing beside the program";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(copies.path()), {}), 3);

    view.currentLine = -1;
    session.showRemoteFile();
    EXPECT_EQ(view.messages.back(), noLine);
}

TEST_F(FtpSessionTest, ShowRemoteFileWithoutAViewerFolderOrWhenTheDownloadFailsShowsNothing)
{
    server->add("/", "Seite.htm", file);
    server->refusedNames.insert("Seite.htm");
    connect();
    test::writeFile(copies.file("Seite.htm"), "old copy");
    view.pick("seite.htm");

    view.copyFolder = "";
    session.showRemoteFile();
    EXPECT_THAT(callsStartingWith("get"), IsEmpty());

    view.copyFolder = copies.path();
    session.showRemoteFile();
    EXPECT_THAT(callsStartingWith("get"), ::testing::SizeIs(1));
    EXPECT_THAT(view.messages, ElementsAre(downloadFailed, downloadFailed));
    EXPECT_THAT(view.viewed, IsEmpty()) << "no stale copy stands in for the file";
    EXPECT_FALSE(test::exists(copies.file("Seite.htm")));
}

TEST_F(FtpSessionTest, DetailsAndFileBytesShowNothingOfAFileThatIsGoneOrDone)
{
    server->add("/", "alt.htm", file, 34234);
    server->add("/", "neu.htm", file, 12);
    connect();
    view.pick("alt.htm");
    session.serverLineClicked();
    ASSERT_EQ(view.details[1], "34234");

    session.deleteRemoteEntry();
    EXPECT_THAT(view.details, ElementsAre("", "", "")) << "after DELETE";
    view.currentLine = -1;
    session.serverLineClicked();
    EXPECT_THAT(view.details, ElementsAre("", "", "")) << "no current line";

    view.pick("neu.htm");
    session.showRemoteFile();
    ASSERT_THAT(view.viewed, ::testing::SizeIs(1));
    EXPECT_THAT(view.fileProgress.back(), ::testing::Pair(0U, 0U)) << "after SHOW/OPEN";
}

TEST_F(FtpSessionTest, DeleteRemovesFilesAndFoldersButNeverTheDotEntriesAndReportsRefusals)
{
    server->add("/", "alt.htm", file);
    server->add("/", "leer", folder);
    server->add("/", "fest.htm", file);
    server->refusedNames.insert("fest.htm");
    connect();

    session.deleteRemoteEntry();
    view.pick("fest.htm");
    session.deleteRemoteEntry();
    view.pick("alt.htm");
    session.deleteRemoteEntry();
    view.pick("LEER");
    session.deleteRemoteEntry();
    view.pick("..");
    session.deleteRemoteEntry();

    const std::string refused = "Datei kann nicht gel\xF6scht werden!";
    EXPECT_THAT(server->calls,
                ElementsAre("cwd /", "dele fest.htm", "cwd /", "dele alt.htm", "cwd /", "find *.*",
                            "cwd /", "rmd leer", "cwd /", "find *.*", "cwd /"));
    EXPECT_THAT(view.messages, ElementsAre(noLine, refused, refused));
    EXPECT_THAT(view.statuses, ::testing::Contains("L\xF6sche Datei..."));
    EXPECT_THAT(view.statuses, ::testing::Contains("L\xF6sche Verzeichnis..."));
}

TEST_F(FtpSessionTest, RenameOffersTheNameAsReceivedAndSendsTheAnswerAsTyped)
{
    server->add("/", "README.TXT", file);
    server->add("/", "Bilder", folder);
    connect();
    view.answers = {std::string(" liesmich.txt"), std::nullopt, std::string("fotos")};

    view.pick("readme.txt");
    session.renameRemoteEntry();
    view.pick("readme.txt");
    session.renameRemoteEntry();
    server->refusedNames.insert("Bilder");
    view.pick("BILDER");
    session.renameRemoteEntry();

    ASSERT_EQ(view.questions.size(), 3U);
    EXPECT_THAT(view.questions[0],
                ElementsAre("Umbenennen", "Neuen Dateinamen eingeben", "README.TXT"));
    EXPECT_EQ(view.questions[2][2], "Bilder");
    EXPECT_THAT(callsStartingWith("rename"),
                ElementsAre("rename README.TXT >  liesmich.txt", "rename Bilder > fotos"));
    EXPECT_THAT(view.messages, ElementsAre("Umbenennen nicht m\xF6glich"));
}

TEST_F(FtpSessionTest, MakeDirCreatesTheTrimmedNameAndIgnoresBlankAnswers)
{
    connect();
    view.answers = {std::string("   "), std::nullopt, std::string("  neu  ")};

    session.makeRemoteDirectory();
    session.makeRemoteDirectory();
    EXPECT_THAT(server->calls, IsEmpty());

    session.makeRemoteDirectory();
    EXPECT_THAT(server->calls, ElementsAre("cwd /", "mkd neu", "cwd /", "find *.*"));
    EXPECT_THAT(view.lines, ElementsAre(".", "..", "NEU"));
    EXPECT_EQ(view.questions[0][1], "Neuen Verzeichnisnamen eingeben");
    EXPECT_EQ(view.questions[0][2], "");

    server->refusedNames.insert("neu");
    view.answers = {std::string("neu")};
    session.makeRemoteDirectory();
    EXPECT_THAT(view.messages, ElementsAre("Verzeichnis kann nicht erstellt werden!"));
}

TEST_F(FtpSessionTest, DroppedConnectionReturnsToTheDisconnectedStateWithoutFolderMessages)
{
    server->add("/", "a.htm", file);
    connect();
    server->dropped = true;

    session.refresh();

    EXPECT_EQ(view.state, "disconnected");
    EXPECT_FALSE(session.connected());
    EXPECT_THAT(view.lines, IsEmpty());
    EXPECT_EQ(view.location, "");
    EXPECT_EQ(view.statuses.back(),
              "Verbindung zum Server unterbrochen - 12030 Verbindung abgebrochen");
    EXPECT_THAT(view.messages, IsEmpty());
    EXPECT_EQ(server->closes, 1);
    session.unload();
    EXPECT_EQ(server->closes, 1);
}

TEST_F(FtpSessionTest, WhileACallRunsOnlyDisconnectActsAndItCancelsTheCallAndDisconnects)
{
    connect();
    for (const char* name : {"1.htm", "2.htm", "3.htm"})
        test::writeFile(local.file(name), "x");
    view.localFiles = view.selectedFiles = {"1.htm", "2.htm", "3.htm"};
    server->onCall = [this](const std::string& call) {
        EXPECT_TRUE(session.running());
        session.refresh();
        session.upload();
        session.makeRemoteDirectory();
        if (call.starts_with("put") && call.find("2.htm") != std::string::npos)
            session.disconnect();
    };

    session.upload();

    server->onCall = nullptr;
    EXPECT_THAT(callsStartingWith("put"), ::testing::SizeIs(2)) << "the third file is not sent";
    EXPECT_EQ(server->cancels, 1);
    EXPECT_THAT(callsStartingWith("find"), IsEmpty()) << "the handler ends at the cancelled file";
    EXPECT_THAT(view.questions, IsEmpty());
    EXPECT_FALSE(session.running());
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.location, "");
    EXPECT_EQ(view.statuses.back(), "Abgebrochen - Verbindung getrennt");
    EXPECT_THAT(view.messages, IsEmpty()) << "a cancelled file is no transfer error";
    EXPECT_EQ(server->closes, 1);
    EXPECT_EQ(view.busyDepth, 0);
    EXPECT_THAT(view.progress.back(), ::testing::Pair(0U, 0U));
}

TEST_F(FtpSessionTest, DisconnectDuringAConnectAttemptCancelsItAndLeavesTheWindowDisconnected)
{
    server->onCall = [this](const std::string& call) {
        if (call.starts_with("connect"))
            session.disconnect();
    };

    session.connect();

    EXPECT_FALSE(session.connected());
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.statuses.back(), "Abgebrochen - Verbindung getrennt");
    EXPECT_THAT(callsStartingWith("cwd"), IsEmpty());
    EXPECT_EQ(server->clientsDestroyed, server->clientsCreated);

    server->onCall = nullptr;
    session.connect();
    EXPECT_TRUE(session.connected()) << "a cancel request does not outlive its call";
}

TEST_F(FtpSessionTest, EveryClientCallGoesThroughTheViewAndReportsNoticesAndFileBytes)
{
    server->notices = {"Verbindung verschl\xFCsselt (TLS 1.3)", "Verbindung wiederhergestellt"};
    session.connect();
    EXPECT_EQ(view.statuses.back(), "Ok - Verbindung wiederhergestellt")
        << "the note stays to the end of the handler";
    EXPECT_EQ(view.security, "Verbindung verschl\xFCsselt (TLS 1.3)");
    EXPECT_EQ(view.calls, 3) << "connect, folder change and search";
    session.refresh();
    EXPECT_EQ(view.statuses.back(), "Ok") << "and goes with the next one";
    EXPECT_EQ(view.security, "Verbindung verschl\xFCsselt (TLS 1.3)") << "as long as connected";

    test::writeFile(local.file("1.htm"), "x");
    view.localFiles = view.selectedFiles = {"1.htm"};
    server->transferSize = 4711;
    session.upload();
    EXPECT_THAT(view.fileProgress, ::testing::Contains(::testing::Pair(4711U, 4711U)));
    EXPECT_THAT(view.fileProgress.back(), ::testing::Pair(0U, 0U)) << "hidden at the end";
}

TEST_F(FtpSessionTest, HowTheConnectionIsSecuredIsShownUntilItEnds)
{
    server->notices = {"Verbindung unverschl\xFCsselt"};
    connect();
    EXPECT_EQ(view.security, "Verbindung unverschl\xFCsselt");
    session.disconnect();
    EXPECT_EQ(view.security, "");

    server->notices = {"Verbindung verschl\xFCsselt (SSH)"};
    connect();
    server->dropped = true;
    session.refresh();
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_EQ(view.security, "") << "a dropped connection";

    server->dropped = false;
    server->notices = {"Verbindung verschl\xFCsselt (TLS 1.2)"};
    connect();
    server->loginAccepted = false;
    session.connect();
    EXPECT_EQ(view.security, "") << "a failed new connect";
}

TEST_F(FtpSessionTest,
       KeepAliveRunsOnlyWhenConnectedAndIdleAndLeavesADroppedConnectionToTheNextCommand)
{
    session.keepAlive();
    EXPECT_THAT(server->calls, IsEmpty());

    connect();
    server->onCall = [this](const std::string&) { session.keepAlive(); };
    session.refresh();
    server->onCall = nullptr;
    EXPECT_THAT(callsStartingWith("noop"), IsEmpty()) << "never while a call runs";

    server->add("/", "fest.htm", file);
    server->refusedNames.insert("fest.htm");
    session.refresh();
    view.pick("fest.htm");
    view.onMessage = [this] { session.keepAlive(); };
    session.deleteRemoteEntry();
    view.onMessage = nullptr;
    EXPECT_THAT(callsStartingWith("noop"), IsEmpty()) << "never inside a waiting handler";

    server->notices = {"Neu angemeldet"};
    session.keepAlive();
    EXPECT_THAT(callsStartingWith("noop"), ::testing::SizeIs(1));
    EXPECT_EQ(view.statuses.back(), "550 Nicht erlaubt - Neu angemeldet")
        << "behind the last status";

    // The client logs in again at the next command; only a failed attempt is the user's news,
    // told once even where the client's own text says the same.
    server->dropped = true;
    server->droppedResponse = {12056, "Verbindung zum Server unterbrochen: Socket closed"};
    session.keepAlive();
    EXPECT_EQ(view.state, "connected");
    EXPECT_TRUE(session.connected());
    session.refresh();
    EXPECT_EQ(view.state, "disconnected");
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(view.statuses.back(), "Verbindung zum Server unterbrochen - 12056: Socket closed");
}

} // namespace
} // namespace vantiro
