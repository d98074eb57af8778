// The save of the real configurator, driven as a user would: a folder typed
// into the path field, a style clicked, the save picture clicked, the
// messages read and dismissed; then the boot run that uses the new list.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

#include "BuildConfig.h"
#include "Scenario.h"
#include "win32/ConfigControlIds.h"

namespace vlmr::wintest {
namespace {

namespace fs = std::filesystem;

using win32::kIdPath;
using win32::kIdSave;
using win32::kIdStretch;

std::vector<HWND> WaitWindowsOf(DWORD processId) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows(processId, false))
        if (WindowClass(window) == L"VelmoraWait") found.push_back(window);
    return found;
}

bool IsBitmapName(const std::wstring& path) {
    if (path.size() < 4) return false;
    std::wstring tail = path.substr(path.size() - 4);
    CharUpperBuffW(tail.data(), static_cast<DWORD>(tail.size()));
    return tail == L".BMP";
}

// Whether the name ends in one of the extensions (in capitals), in any letter case.
bool HasType(const std::wstring& name, const std::vector<std::wstring>& types) {
    std::wstring upper = name;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    for (const std::wstring& type : types)
        if (upper.size() >= type.size() && upper.compare(upper.size() - type.size(), type.size(), type) == 0)
            return true;
    return false;
}

// The walk the scan must make, from the listing as Windows gives it: each
// folder's sub-folder trees in listing order (a folder named like a bitmap
// is an entry itself), then its own bitmaps and files of the extra types.
void ExpectedWalk(const std::wstring& folder, std::vector<std::wstring>& entries,
                  const std::vector<std::wstring>& types = {}) {
    std::vector<std::wstring> folders, files;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? folders : files).push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    for (const std::wstring& name : folders) {
        const std::wstring path = folder + L"\\" + name;
        if (IsBitmapName(path)) entries.push_back(path);
        ExpectedWalk(path, entries, types);
    }
    for (const std::wstring& name : files)
        if (IsBitmapName(name) || HasType(name, types)) entries.push_back(folder + L"\\" + name);
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The image list file's lines: UTF-8 behind a byte order mark, else the ANSI code page.
std::vector<std::wstring> ListLines(const fs::path& file) {
    std::string bytes = FileBytes(file);
    UINT codePage = CP_ACP;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        codePage = CP_UTF8;
    }
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start) + L"<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::wstring IniValue(const fs::path& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"<absent>", value, 1024, file.c_str());
    return value;
}

void WriteFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

class Save : public Scenario {
protected:
    void SetUp() override {
        run_ = std::make_unique<AppProcess>(folder_, L" Config");
        ASSERT_TRUE(run_->Started()) << "CreateProcess failed: " << GetLastError();
        configurator_ =
            WaitForWindow([&] { return FindTitledWindow(run_->Id(), L"Velmora Configurator"); }, kWindowTimeoutMs);
        ASSERT_NE(configurator_, nullptr) << "the configurator did not open";
        path_ = ChildWithId(configurator_, kIdPath);
        save_ = ChildWithId(configurator_, kIdSave);
        stretch_ = ChildWithId(configurator_, kIdStretch);
        ASSERT_TRUE(path_ && save_ && stretch_) << "the configurator lacks its path field, save button or Stretch";
    }

    fs::path App(const wchar_t* name) const { return folder_.Path() / name; }

    void TypePath(const std::wstring& text) const {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(path_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                        SMTO_ABORTIFHUNG, 5000, &ignored));
        EXPECT_EQ(WindowTitle(path_), text);
    }

    void ClickStretch() const {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(stretch_, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
        EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Style"), L"Stretch");
    }

    // A picture box is no button: press and release the mouse on it.
    void ClickSave() const {
        PostMessageW(save_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        PostMessageW(save_, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    }

    // The message box with this title and text; nullptr (and a failure) when none comes.
    HWND ExpectMessage(const std::wstring& title, const std::wstring& text) const {
        HWND box = WaitForWindow([&] { return FindMessageBox(run_->Id(), title); }, kWindowTimeoutMs);
        EXPECT_NE(box, nullptr) << "no message box titled " << Narrow(title);
        if (box) {
            EXPECT_EQ(Narrow(MessageBoxText(box)), Narrow(text));
        }
        return box;
    }

    void Dismiss(HWND box) const {
        ASSERT_TRUE(PressOk(box));
        const ULONGLONG deadline = GetTickCount64() + kWindowTimeoutMs;
        while (IsWindow(box) && IsWindowVisible(box) && GetTickCount64() < deadline) Sleep(20);
        EXPECT_FALSE(IsWindow(box) && IsWindowVisible(box)) << "the message box stayed";
    }

    // After a save that did not end the program: the configurator is back as it was.
    void ExpectConfiguratorOpen() const {
        EXPECT_TRUE(run_->Running());
        EXPECT_EQ(FindTitledWindow(run_->Id(), L"Velmora Configurator"), configurator_);
        EXPECT_FALSE(IsIconic(configurator_));
    }

    std::unique_ptr<AppProcess> run_;
    HWND configurator_ = nullptr;
    HWND path_ = nullptr;
    HWND save_ = nullptr;
    HWND stretch_ = nullptr;
};

TEST_F(Save, TwelveBitmapsInATreeAreListedInWalkOrderAndTheNextBootRunUsesOne) {
    // A blank and letters outside ASCII in the folder names; twelve bitmaps
    // at four depths, other files beside them, a folder named like a bitmap.
    const fs::path tree = folder_.Root() / L"Bilder \u00C4 2024";
    for (const wchar_t* name :
         {L"r1.bmp", L"R2.BMP", L"Sub A\\a1.bmp", L"Sub A\\a2.Bmp", L"Sub A\\Deep\\d1.bmp",
          L"Sub A\\Deep\\Deeper \u00F6\\x1.bmp", L"Sub A\\Deep\\Deeper \u00F6\\x2.bmp",
          L"Sub A\\Deep\\Deeper \u00F6\\x3.bmp", L"x.BMP\\inside.bmp", L"Zweig\\z1.bmp", L"Zweig\\z2.bmp",
          L"Zweig\\Blatt\\b1.bmp"})
        WriteFile(tree / name, "BM");
    for (const wchar_t* name : {L"notes.txt", L"photo.jpg", L"Sub A\\a.jpg", L"Sub A\\Deep\\readme.txt",
                                L"Zweig\\picture.bmpx", L"Zweig\\bmp"})
        WriteFile(tree / name, "not a bitmap");
    fs::create_directories(tree / L"Leer");

    const std::wstring folder = tree.wstring();
    std::vector<std::wstring> expected;
    ExpectedWalk(folder, expected);
    std::vector<std::wstring> relative;
    for (const std::wstring& entry : expected) relative.push_back(entry.substr(folder.size()));
    std::sort(relative.begin(), relative.end());
    ASSERT_EQ(relative, (std::vector<std::wstring>{
                            L"\\R2.BMP", L"\\Sub A\\Deep\\Deeper \u00F6\\x1.bmp", L"\\Sub A\\Deep\\Deeper \u00F6\\x2.bmp",
                            L"\\Sub A\\Deep\\Deeper \u00F6\\x3.bmp", L"\\Sub A\\Deep\\d1.bmp", L"\\Sub A\\a1.bmp",
                            L"\\Sub A\\a2.Bmp", L"\\Zweig\\Blatt\\b1.bmp", L"\\Zweig\\z1.bmp", L"\\Zweig\\z2.bmp",
                            L"\\r1.bmp", L"\\x.BMP", L"\\x.BMP\\inside.bmp"}))
        << "the test's own walk is wrong";

    TypePath(folder);
    ClickStretch();
    ClickSave();

    HWND count = ExpectMessage(L"VLMR", L"13 Images Found");
    ASSERT_NE(count, nullptr);
    // Scan done: the list is written, the progress window hidden but kept,
    // the configurator restored; "Path" waits for the message to go.
    EXPECT_EQ(ListLines(App(L"IPaths.dat")), expected);
    EXPECT_TRUE(fs::exists(App(L"Installed")));
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), L"<absent>");
    const std::vector<HWND> waits = WaitWindowsOf(run_->Id());
    ASSERT_EQ(waits.size(), 1u) << "no progress window, or more than one";
    EXPECT_FALSE(IsWindowVisible(waits.front()));
    EXPECT_EQ(WindowTitle(configurator_), L"Velmora Configurator");
    EXPECT_FALSE(IsIconic(configurator_));
    Dismiss(count);

    HWND restart = ExpectMessage(L"VLMR", L"Velmora Must Be Restarted");
    ASSERT_NE(restart, nullptr);
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), folder);
    Dismiss(restart);
    ASSERT_TRUE(run_->WaitForExit(kExitTimeoutMs)) << "the program did not end after the save";

    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), folder);
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Style"), L"Stretch");
    EXPECT_TRUE(fs::exists(App(L"Installed")));
    EXPECT_FALSE(fs::exists(tree / L"VLMR-Test.VLMR"));
    const std::vector<std::string> saved = RunLogOf(folder_.RunLog(), run_->Id());
    ASSERT_EQ(saved.size(), 4u) << ::testing::PrintToString(saved);
    EXPECT_EQ(saved[0], "info VLMR " + std::string(kVersionText) + " started: configurator");
    EXPECT_EQ(saved[1], "info save: folder " + Narrow(folder));
    EXPECT_TRUE(std::regex_match(saved[2], std::regex(R"(info save: 13 images found in \d+\.\d\d s)"))) << saved[2];
    EXPECT_EQ(saved[3], "info save: 13 images written to " + Narrow(App(L"IPaths.dat").wstring()));

    // The next start without "Config" is a boot run with an entry of the new list.
    std::vector<std::string> entries;
    for (const std::wstring& path : expected) entries.push_back(Narrow(path));
    {
        AppProcess boot(folder_);
        ASSERT_TRUE(boot.Started());
        ASSERT_TRUE(boot.WaitForExit(kExitTimeoutMs)) << "the boot run did not end";
    }
    const std::vector<std::string> log = folder_.LogLines();
    const std::string drawn = WallpaperOf(log);
    EXPECT_NE(std::find(entries.begin(), entries.end(), drawn), entries.end()) << "not from the list: " << drawn;
    EXPECT_EQ(log, ExpectedBootLog(false, 2, drawn));
}

// Picture types turned on by hand: JPEG and PNG files join the bitmaps in
// the walk's order; a folder named like a JPEG is walked, not listed, and a
// type left off is not listed. The boot run hands such a path over as it is,
// with the Active Desktop turned on, which is what shows it.
TEST_F(Save, ChosenPictureTypesJoinTheBitmapsInWalkOrder) {
    const fs::path tree = folder_.Root() / L"Mixed";
    for (const wchar_t* name :
         {L"a.bmp", L"b.JPG", L"Sub\\c.png", L"Sub\\d.Jpeg", L"x.jpg\\e.PNG", L"f.gif", L"notes.txt"})
        WriteFile(tree / name, "picture");
    ASSERT_TRUE(WritePrivateProfileStringW(L"Options", L"Types", L".JPG .JPEG .PNG", App(L"Config.ini").c_str()));
    std::vector<std::wstring> expected;
    ExpectedWalk(tree.wstring(), expected, {L".JPG", L".JPEG", L".PNG"});
    ASSERT_EQ(expected.size(), 5u) << "the test's own walk is wrong";

    TypePath(tree.wstring());
    ClickStretch();
    ClickSave();
    HWND count = ExpectMessage(L"VLMR", L"5 Images Found");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(ListLines(App(L"IPaths.dat")), expected);
    Dismiss(count);
    HWND restart = ExpectMessage(L"VLMR", L"Velmora Must Be Restarted");
    ASSERT_NE(restart, nullptr);
    Dismiss(restart);
    ASSERT_TRUE(run_->WaitForExit(kExitTimeoutMs)) << "the program did not end after the save";

    folder_.WriteList({(tree / L"b.JPG").wstring()}, ListEncoding::Ansi);
    {
        AppProcess boot(folder_);
        ASSERT_TRUE(boot.Started());
        ASSERT_TRUE(boot.WaitForExit(kExitTimeoutMs)) << "the boot run did not end";
    }
    EXPECT_EQ(folder_.LogLines(), ExpectedBootLog(false, 2, Narrow((tree / L"b.JPG").wstring())));
}

TEST_F(Save, EmptyPathIsRefusedAndNothingIsWritten) {
    ClickStretch();
    ClickSave();
    HWND box = ExpectMessage(L"Velmora", L"NO PATH SET!!!");
    ASSERT_NE(box, nullptr);
    Dismiss(box);
    ExpectConfiguratorOpen();
    EXPECT_FALSE(fs::exists(App(L"Installed")));
    EXPECT_FALSE(fs::exists(App(L"IPaths.dat")));
    EXPECT_TRUE(WaitWindowsOf(run_->Id()).empty()) << "the progress window came up";
}

TEST_F(Save, MissingFolderIsNotAValidPath) {
    TypePath((folder_.Root() / L"no such folder\\Pictures").wstring());
    ClickStretch();
    ClickSave();
    HWND box = ExpectMessage(L"Error", L"Path is not valid\r\nMust specify a directory not a drive");
    ASSERT_NE(box, nullptr);
    Dismiss(box);
    ExpectConfiguratorOpen();
    EXPECT_FALSE(fs::exists(App(L"Installed")));
    EXPECT_FALSE(fs::exists(App(L"IPaths.dat")));
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), L"<absent>");
}

// Nothing found keeps the configurator open and the list that works; a
// second save in the same run shows the same progress window again and ends
// the program.
TEST_F(Save, NoBitmapsKeepsTheConfiguratorOpenForAnotherFolder) {
    const fs::path empty = folder_.Root() / L"No pictures";
    WriteFile(empty / L"a.jpg", "JFIF");
    WriteFile(empty / L"Sub\\notes.txt", "text");
    WriteFile(App(L"Config.ini"), "[VLMR]\r\nPath=C:\\Old\r\n");
    const std::string working = "C:\\Old\\a.bmp\r\nC:\\Old\\b.bmp\r\n";
    WriteFile(App(L"IPaths.dat"), working);

    TypePath(empty.wstring());
    ClickStretch();
    ClickSave();
    HWND none = ExpectMessage(L"Velmora", L"No Images Found!!");
    ASSERT_NE(none, nullptr);
    Dismiss(none);
    ExpectConfiguratorOpen();
    EXPECT_EQ(WindowTitle(configurator_), L"Velmora Configurator");
    EXPECT_TRUE(fs::exists(App(L"Installed")));
    EXPECT_EQ(FileBytes(App(L"IPaths.dat")), working);
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), L"C:\\Old");
    const std::vector<HWND> firstWait = WaitWindowsOf(run_->Id());
    ASSERT_EQ(firstWait.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(firstWait.front()));

    const fs::path one = folder_.Root() / L"One picture";
    WriteFile(one / L"only.bmp", "BM");
    TypePath(one.wstring());
    ClickSave();
    HWND count = ExpectMessage(L"VLMR", L"1 Images Found");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(WaitWindowsOf(run_->Id()), firstWait) << "the second save made a new progress window";
    EXPECT_EQ(ListLines(App(L"IPaths.dat")), std::vector<std::wstring>{(one / L"only.bmp").wstring()});
    Dismiss(count);
    HWND restart = ExpectMessage(L"VLMR", L"Velmora Must Be Restarted");
    ASSERT_NE(restart, nullptr);
    Dismiss(restart);
    EXPECT_TRUE(run_->WaitForExit(kExitTimeoutMs));
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), one.wstring());
}

// The run log cannot be made: a file stands where its folder belongs.
class SaveWithoutRunLog : public Save {
protected:
    void SetUp() override {
        WriteFile(folder_.LocalAppData() / L"Velmora", "not a folder");
        Save::SetUp();
    }
};

TEST_F(SaveWithoutRunLog, TheSaveAndTheNextBootRunStillWork) {
    const fs::path one = folder_.Root() / L"One picture";
    WriteFile(one / L"only.bmp", "BM");
    TypePath(one.wstring());
    ClickStretch();
    ClickSave();
    HWND count = ExpectMessage(L"VLMR", L"1 Images Found");
    ASSERT_NE(count, nullptr);
    Dismiss(count);
    HWND restart = ExpectMessage(L"VLMR", L"Velmora Must Be Restarted");
    ASSERT_NE(restart, nullptr);
    Dismiss(restart);
    ASSERT_TRUE(run_->WaitForExit(kExitTimeoutMs));

    const std::string picture = Narrow((one / L"only.bmp").wstring());
    DWORD boot = 0;
    {
        AppProcess run(folder_);
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitForExit(kExitTimeoutMs)) << "the boot run did not end";
        boot = run.Id();
    }
    EXPECT_EQ(folder_.LogLines(), ExpectedBootLog(false, 2, picture));
    EXPECT_TRUE(fs::is_regular_file(folder_.LocalAppData() / L"Velmora"));
    // Each run says once on stderr that its log cannot be written; its lines still go there.
    const std::vector<std::string> stderrLines = CrLfLines(folder_.Stderr());
    EXPECT_EQ(std::count_if(stderrLines.begin(), stderrLines.end(),
                            [](const std::string& line) { return line.rfind("VLMR: the log ", 0) == 0; }),
              2)
        << ::testing::PrintToString(stderrLines);
    const std::vector<std::string> bootLines = RunLogOf(folder_.Stderr(), boot);
    EXPECT_NE(std::find(bootLines.begin(), bootLines.end(), "info wallpaper set: " + picture), bootLines.end())
        << ::testing::PrintToString(bootLines);
}

// The system's reason for refusing a new file in the folder, in its own words.
std::wstring WriteRefusal(const fs::path& folder) {
    const fs::path probe = folder / L"probe";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        DeleteFileW(probe.c_str());
        return L"<writable>";
    }
    const DWORD error = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = text != nullptr ? text : L"<no text for error " + std::to_wstring(error) + L">";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
        reason.pop_back();
    return reason;
}

// Root writes into any folder whatever its mode, so read-only-save.sh hands
// over a read-only mount; the scenarios that ctest discovers leave this out.
class SaveIntoReadOnlyMount : public Save {};

TEST_F(SaveIntoReadOnlyMount, ShowsTheSystemsReasonAndWritesNothing) {
    const char* host = std::getenv("VLMR_READ_ONLY_FOLDER");
    if (host == nullptr || *host == '\0') GTEST_SKIP() << "needs the read-only mount of read-only-save.sh";
    const fs::path folder = FromHostPath(host);
    const std::wstring reason = WriteRefusal(folder);
    ASSERT_NE(reason, L"<writable>") << Narrow(folder.wstring()) << " can be written";
    const std::string working = "C:\\Old\\a.bmp\r\n";
    WriteFile(App(L"IPaths.dat"), working);
    const auto before = std::distance(fs::directory_iterator(folder), fs::directory_iterator());

    TypePath(folder.wstring());
    ClickStretch();
    ClickSave();
    const std::wstring file = folder.wstring() + L"\\VLMR-Test.VLMR";
    HWND box = ExpectMessage(L"Error", L"Could not write " + file + L"\r\n" + reason);
    ASSERT_NE(box, nullptr);
    std::string icon = ShownIcon(box);
    for (int tries = 0; icon != "warning" && tries < 150; ++tries) {  // until the box is drawn
        Sleep(20);
        icon = ShownIcon(box);
    }
    EXPECT_EQ(icon, "warning");
    Dismiss(box);

    ExpectConfiguratorOpen();
    EXPECT_FALSE(fs::exists(App(L"Installed")));
    EXPECT_EQ(FileBytes(App(L"IPaths.dat")), working);
    EXPECT_EQ(IniValue(App(L"Config.ini"), L"VLMR", L"Path"), L"<absent>");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), before);
    const std::vector<std::string> log = RunLogOf(folder_.RunLog(), run_->Id());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "error save: could not write " + Narrow(file) + ": " + Narrow(reason));
}

}  // namespace
}  // namespace vlmr::wintest
