#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "app/LogFile.h"
#include "support/TempFolder.h"
#include "win/Failure.h"
#include "win/Paths.h"

namespace vt {
namespace {

TEST(LogFile, PathWithAndWithoutBackslash) {
    EXPECT_EQ(LogPath(L"C:\\Dati"), L"C:\\Dati\\Vaultick.log");
    EXPECT_EQ(LogPath(L"C:\\Dati\\"), L"C:\\Dati\\Vaultick.log");
    EXPECT_EQ(LogPath(L"C:\\"), L"C:\\Vaultick.log");
}

TEST(LogFile, HeaderOnlyWhenTheFileHadToBeCreated) {
    test::TempFolder temp;
    LogFile log;
    log.Configure(true, LogPath(temp.Path()));
    log.Append(L"Avvio backup numero 1");
    log.Append(L"");
    log.Append(L"Copia effettuata più tardi");
    EXPECT_EQ(test::ReadBytes(log.Path()),
              "FileLog creato da DorviVaultick.exe\r\nAvvio backup numero 1\r\n\r\nCopia effettuata pi\xF9 tardi\r\n");

    // An existing empty file gets no header.
    const std::wstring other = temp / L"vuoto.log";
    ASSERT_TRUE(test::WriteBytes(other, ""));
    log.Configure(true, other);
    log.Append(L"riga");
    EXPECT_EQ(test::ReadBytes(other), "riga\r\n");
}

TEST(LogFile, SwitchedOffTouchesNothing) {
    test::TempFolder temp;
    LogFile log;
    log.Configure(false, LogPath(temp.Path()));
    log.Append(L"riga");
    EXPECT_FALSE(FileExists(log.Path()));
}

TEST(LogFile, FailuresReachTheCaller) {
    test::TempFolder temp;
    LogFile log;
    log.Configure(true, LogPath(temp / L"manca"));
    EXPECT_THROW(log.Append(L"riga"), IoFailure);
    // A log another program holds locked cannot take a line.
    const std::wstring locked = temp / L"bloccato.log";
    ASSERT_TRUE(test::WriteBytes(locked, "x\r\n"));
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    log.Configure(true, locked);
    EXPECT_THROW(log.Append(L"riga"), IoFailure);
    CloseHandle(holder);
    EXPECT_EQ(test::ReadBytes(locked), "x\r\n");
}

TEST(LogFile, ALogReadByAnotherProgramForAMomentStillTakesTheLine) {
    // A scanner or viewer that opens the log without letting others write, as a run appends:
    // the run must not end there, its line comes once the file is let go.
    test::TempFolder temp;
    LogFile log;
    log.Configure(true, LogPath(temp.Path()));
    log.Append(L"prima");
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread reader([&] {
        HANDLE file = CreateFileW(log.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        SetEvent(opened);
        Sleep(300);
        CloseHandle(file);
    });
    WaitForSingleObject(opened, INFINITE);
    EXPECT_NO_THROW(log.Append(L"seconda"));
    reader.join();
    CloseHandle(opened);
    EXPECT_EQ(test::ReadBytes(log.Path()), "FileLog creato da DorviVaultick.exe\r\nprima\r\nseconda\r\n");
}

TEST(LogFile, CommandsIgnoreCase) {
    test::TempFolder temp;
    const std::wstring file = temp / L"f.txt";
    TextFileCommand(L"CREA", file, L"");
    TextFileCommand(L"ADD", L"uno", file);
    TextFileCommand(L"aDd", L"due", file);
    TextFileCommand(L"altro", L"tre", file);
    EXPECT_EQ(test::ReadBytes(file), "uno\r\ndue\r\n");
    TextFileCommand(L"Rimuovi", L"", file);
    EXPECT_FALSE(FileExists(file));
    EXPECT_THROW(TextFileCommand(L"Rimuovi", L"", file), IoFailure);
    EXPECT_THROW(TextFileCommand(L"Add", L"x", file), IoFailure);  // appending needs the file
}

}  // namespace
}  // namespace vt
