// The process side of the Windows runtime.
#include <gtest/gtest.h>

#include <filesystem>

#include "win32/Win32Runtime.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

TEST(CommandLineTail, WhatFollowsTheProgramAndItsBlanksVerbatim) {
    struct Case {
        const wchar_t* line;
        const wchar_t* tail;
    };
    const Case cases[] = {
        {L"VLMR.exe", L""},
        {L"VLMR.exe Config", L"Config"},
        {L"VLMR.exe  Config", L"Config"},
        {L"VLMR.exe \t Config", L"Config"},
        {L"VLMR.exe \"Config\"", L"\"Config\""},
        {L"VLMR.exe Config now ", L"Config now "},
        {L"VLMR.exe config", L"config"},
        {L"\"C:\\Program Files\\Velmora\\VLMR.exe\" Config", L"Config"},
        {L"\"C:\\Program Files\\Velmora\\VLMR.exe\"Config", L"Config"},
        {L"\"C:\\Program Files\\Velmora\\VLMR.exe\"", L""},
        {L"\"C:\\Program Files\\Velmora\\VLMR.exe Config", L""},  // unclosed quote: all of it is the program
        {L"C:\\Velmora\\VLMR.exe   ", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandLineTail(c.line), c.tail) << Narrow(c.line);
}

TEST(FolderOfModule, DropsTheFileNameButKeepsADriveRoot) {
    EXPECT_EQ(FolderOfModule(L"C:\\Program Files\\Velmora\\VLMR.exe"), L"C:\\Program Files\\Velmora");
    EXPECT_EQ(FolderOfModule(L"C:\\VLMR.exe"), L"C:\\");
    EXPECT_EQ(FolderOfModule(L"\\\\?\\D:\\VLMR.exe"), L"\\\\?\\D:\\");
    EXPECT_EQ(FolderOfModule(L"\\\\server\\share\\VLMR.exe"), L"\\\\server\\share");
}

TEST(Win32Runtime, DataFilesLieBesideTheExecutable) {
    Win32Runtime runtime;
    const std::string folder = runtime.AppFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(Widen(folder)) / L"win32_platform_tests.exe"));
    EXPECT_EQ(runtime.AppFile("Config.ini"), folder + "\\Config.ini");
    EXPECT_EQ(runtime.FallbackImage(), folder + "\\logo.gif");
}

TEST(Win32Runtime, OneClaimAtATimeAndAGoneHolderBlocksNobody) {
    auto first = std::make_unique<Win32Runtime>();
    ASSERT_EQ(first->CheckOtherInstance(), InstanceCheck::Alone);
    EXPECT_EQ(first->CheckOtherInstance(), InstanceCheck::Alone);  // asking again is no second copy
    {
        Win32Runtime second;
        EXPECT_EQ(second.CheckOtherInstance(), InstanceCheck::AnotherRunning);
    }
    first.reset();
    Win32Runtime third;
    EXPECT_EQ(third.CheckOtherInstance(), InstanceCheck::Alone);
}

TEST(Win32Runtime, PendingMessagesAreDeliveredAndTheQuitIsKept) {
    Win32Runtime runtime;
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    PostQuitMessage(3);
    runtime.DeliverPendingMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace vlmr::win32
