// The folder listing of the image scan on the real file system.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "config/FolderScan.h"
#include "win32/Win32FolderLister.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Removes a tree given in the \\?\ form, whatever the length of its paths,
// without following a folder link into its target.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileW(path.c_str());
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(path.c_str());
            else
                RemoveTree(path);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

class Win32FolderListerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A blank and a letter outside ASCII in the folder's own name.
        root_ = fs::temp_directory_path() /
                (L"vlmr-list \u00C4-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(next_++));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { RemoveTree(L"\\\\?\\" + root_.wstring()); }

    // The path as the portable code holds it.
    static std::string Text(const fs::path& path) { return Narrow(path.wstring()); }
    void Folder(const std::wstring& name) const { fs::create_directories(root_ / name); }
    void File(const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
        std::ofstream(root_ / name) << "BM";
        SetFileAttributesW((root_ / name).c_str(), attributes);
    }

    Win32FolderLister lister_;
    fs::path root_;
    static inline unsigned next_ = 0;
};

// What another reader of the folder sees, in its order.
void ExpectedListing(const fs::path& folder, Names& folders, Names& files) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        (entry.is_directory() ? folders : files).push_back(Narrow(entry.path().filename().wstring()));
    }
}

TEST_F(Win32FolderListerTest, FoldersAndFilesApartInListingOrderWithHiddenAndSystemItems) {
    Folder(L"B");
    Folder(L"x.BMP");
    Folder(L"\u0416\u0443\u043A");  // Cyrillic
    Folder(L"Hidden folder");
    SetFileAttributesW((root_ / L"Hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    File(L"a.bmp");
    File(L"hidden.bmp", FILE_ATTRIBUTE_HIDDEN);
    File(L"system.BMP", FILE_ATTRIBUTE_SYSTEM);
    File(L"read only.txt", FILE_ATTRIBUTE_READONLY);
    File(L"\u00E4\u56FE.bmp");
    File(L"B\\inner.bmp");  // not an entry of the root

    FolderListing listing;
    ASSERT_TRUE(lister_.ListFolder(Text(root_), listing));
    EXPECT_TRUE(listing.subfoldersStatus.ok());
    EXPECT_TRUE(listing.filesStatus.ok());
    EXPECT_TRUE(listing.id.known);

    Names folders, files;
    ExpectedListing(root_, folders, files);
    EXPECT_EQ(listing.subfolders, folders);
    EXPECT_EQ(listing.files, files);
    std::sort(listing.subfolders.begin(), listing.subfolders.end());
    std::sort(listing.files.begin(), listing.files.end());
    EXPECT_EQ(listing.subfolders, (Names{"B", "Hidden folder", "x.BMP", "\xD0\x96\xD1\x83\xD0\xBA"}));
    EXPECT_EQ(listing.files, (Names{"a.bmp", "hidden.bmp", "read only.txt", "system.BMP", "\xC3\xA4\xE5\x9B\xBE.bmp"}));
}

TEST_F(Win32FolderListerTest, EmptyMissingAndNotAFolder) {
    Folder(L"empty");
    File(L"plain.txt");
    FolderListing empty;
    ASSERT_TRUE(lister_.ListFolder(Text(root_ / L"empty"), empty));
    EXPECT_TRUE(empty.subfolders.empty());
    EXPECT_TRUE(empty.files.empty());
    EXPECT_TRUE(empty.id.known);

    FolderListing listing;
    EXPECT_EQ(lister_.ListFolder(Text(root_ / L"gone"), listing).kind, ErrorKind::PathNotFound);
    EXPECT_EQ(lister_.ListFolder(Text(root_ / L"gone\\deeper"), listing).kind, ErrorKind::PathNotFound);
    const Status file = lister_.ListFolder(Text(root_ / L"plain.txt"), listing);
    EXPECT_FALSE(file.ok());
    EXPECT_FALSE(file.description.empty());
    EXPECT_TRUE(listing.subfolders.empty());
    EXPECT_TRUE(listing.files.empty());
}

TEST_F(Win32FolderListerTest, OneFolderHasOneIdentityWhateverTheSpelling) {
    Folder(L"Photos\\Sub");
    Folder(L"Other");
    auto id = [&](const std::string& path) {
        FolderListing listing;
        EXPECT_TRUE(lister_.ListFolder(path, listing)) << path;
        EXPECT_TRUE(listing.id.known) << path;
        return std::make_pair(listing.id.volume, listing.id.index);
    };
    const auto photos = id(Text(root_ / L"Photos"));
    EXPECT_EQ(id(Text(root_ / L"PHOTOS\\")), photos);
    EXPECT_EQ(id(Text(root_ / L"Photos\\Sub\\..")), photos);
    EXPECT_NE(id(Text(root_ / L"Other")), photos);
    EXPECT_NE(id(Text(root_ / L"Photos\\Sub")), photos);
}

// A folder path longer than MAX_PATH is listed, and the names come back
// without the \\?\ form the API needed.
TEST_F(Win32FolderListerTest, FoldersDeeperThanMaxPath) {
    std::wstring deep = L"\\\\?\\" + root_.wstring();
    std::string text = Text(root_);
    while (text.size() < MAX_PATH + 40) {
        const std::wstring part = L"a rather long folder name \u00C4\u00C4\u00C4 0123456789";
        deep += L"\\" + part;
        text += "\\" + Narrow(part);
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    }
    ASSERT_TRUE(CreateDirectoryW((deep + L"\\inner").c_str(), nullptr));
    const HANDLE file = CreateFileW((deep + L"\\deep.bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    FolderListing listing;
    ASSERT_TRUE(lister_.ListFolder(text, listing));
    EXPECT_EQ(listing.subfolders, Names{"inner"});
    EXPECT_EQ(listing.files, Names{"deep.bmp"});
    EXPECT_TRUE(listing.id.known);
    EXPECT_EQ(lister_.JoinPath(text, "deep.bmp"), text + "\\deep.bmp");

    // The walk reaches it from the top.
    ListBox list;
    MessagePacer pacer([] {});
    ScanFolderTree(lister_, Text(root_), list, pacer);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Item(0), text + "\\deep.bmp");
}

TEST(Win32FolderLister, TheExtendedLengthFormIsTheCleanFullPath) {
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a\\..\\b/c"), L"\\\\?\\C:\\b\\c");
    EXPECT_EQ(ExtendedLengthPath(L"D:\\"), L"\\\\?\\D:\\");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\D:\\x\\..\\y"), L"\\\\?\\D:\\x\\..\\y");  // taken as it is
}

TEST(Win32FolderLister, JoinPathAddsOneBackslashAndNoneAfterADriveRoot) {
    Win32FolderLister lister;
    EXPECT_EQ(lister.JoinPath("D:\\", "a.bmp"), "D:\\a.bmp");
    EXPECT_EQ(lister.JoinPath("C:\\a", "b.bmp"), "C:\\a\\b.bmp");
    EXPECT_EQ(lister.JoinPath("C:\\My Pictures\\", "VLMR-Test.VLMR"), "C:\\My Pictures\\VLMR-Test.VLMR");
    EXPECT_EQ(lister.JoinPath("\\\\server\\share", "x.bmp"), "\\\\server\\share\\x.bmp");
}

TEST(Win32FolderLister, PathKeyIgnoresCaseOrdinallyInAnyScript) {
    Win32FolderLister lister;
    EXPECT_EQ(lister.PathKey("C:\\Photos\\A.BMP"), lister.PathKey("c:\\photos\\a.bmp"));
    EXPECT_EQ(lister.PathKey("C:\\\xC3\x84.bmp"), lister.PathKey("c:\\\xC3\xA4.BMP"));          // Ä, ä
    EXPECT_EQ(lister.PathKey("\xD0\x96\xD1\x83\xD0\xBA"), lister.PathKey("\xD0\xB6\xD0\xA3\xD0\x9A"));  // Жук, жУК
    EXPECT_NE(lister.PathKey("C:\\a.bmp"), lister.PathKey("C:\\b.bmp"));
    EXPECT_NE(lister.PathKey("C:\\\xC3\x84.bmp"), lister.PathKey("C:\\A.bmp"));  // no folding of accents
    EXPECT_NE(lister.PathKey("C:\\Stra\xC3\x9F" "e"), lister.PathKey("C:\\STRASSE"));  // no linguistic expansion
    // The key is text the rest of the program can hold.
    EXPECT_EQ(lister.PathKey("c:\\\xC3\xA4"), "C:\\\xC3\x84");
}

// A mount point (junction) made by hand, for a Windows without the right to
// make symbolic links.
struct MountPointBuffer {
    DWORD ReparseTag;
    WORD ReparseDataLength;
    WORD Reserved;
    WORD SubstituteNameOffset;
    WORD SubstituteNameLength;
    WORD PrintNameOffset;
    WORD PrintNameLength;
    wchar_t PathBuffer[1024];
};

bool MakeJunction(const fs::path& link, const fs::path& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    const std::wstring substitute = L"\\??\\" + target.wstring();
    const std::wstring print = target.wstring();
    const auto bytes = [](const std::wstring& s) { return static_cast<WORD>(s.size() * sizeof(wchar_t)); };
    MountPointBuffer data{};
    data.ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    data.SubstituteNameLength = bytes(substitute);
    data.PrintNameOffset = static_cast<WORD>(bytes(substitute) + sizeof(wchar_t));
    data.PrintNameLength = bytes(print);
    std::memcpy(data.PathBuffer, substitute.c_str(), bytes(substitute) + sizeof(wchar_t));
    std::memcpy(reinterpret_cast<char*>(data.PathBuffer) + data.PrintNameOffset, print.c_str(),
                bytes(print) + sizeof(wchar_t));
    data.ReparseDataLength = static_cast<WORD>(8 + data.PrintNameOffset + bytes(print) + sizeof(wchar_t));
    const HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    bool made = false;
    if (folder != INVALID_HANDLE_VALUE) {
        DWORD returned = 0;
        made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &data, 8u + data.ReparseDataLength, nullptr, 0,
                               &returned, nullptr) != FALSE;
        CloseHandle(folder);
    }
    if (!made) RemoveDirectoryW(link.c_str());
    return made;
}

bool MakeFolderLink(const fs::path& link, const fs::path& target) {
    // Wine 8 answers TRUE here without making anything: look before trusting it.
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */) &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    return MakeJunction(link, target);
}

// The Windows name of a host path, under Wine; empty elsewhere.
fs::path FromHostPath(const char* hostPath) {
    using DosName = LPWSTR(CDECL*)(LPCSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto dosName = reinterpret_cast<DosName>(
        reinterpret_cast<void (*)()>(kernel ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr));
    if (!dosName) return {};
    const LPWSTR name = dosName(hostPath);
    if (!name) return {};
    fs::path path(name);
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

// A{a.bmp, B{b.bmp, up -> A}}: made here through the API, or else the one
// the build made on the host side (Wine lists a host link as a folder but
// cannot make one). Returns A, or nothing when neither can be had.
fs::path LoopTree(const fs::path& scratch) {
    fs::create_directories(scratch / L"A\\B");
    std::ofstream(scratch / L"A\\a.bmp") << "BM";
    std::ofstream(scratch / L"A\\B\\b.bmp") << "BM";
    if (MakeFolderLink(scratch / L"A\\B\\up", scratch / L"A")) return scratch / L"A";
#ifdef VELMORA_HOST_LINK_TREE
    const fs::path host = FromHostPath(VELMORA_HOST_LINK_TREE);
    if (!host.empty() && fs::exists(host / L"A\\B\\up\\a.bmp")) return host / L"A";
#endif
    return {};
}

TEST_F(Win32FolderListerTest, ALinkBackIntoTheTreeIsAFolderWithTheTargetsIdentity) {
    const fs::path a = LoopTree(root_);
    if (a.empty()) GTEST_SKIP() << "no folder link can be made or found here";

    FolderListing b;
    ASSERT_TRUE(lister_.ListFolder(Text(a / L"B"), b));
    EXPECT_EQ(b.subfolders, Names{"up"});
    EXPECT_EQ(b.files, Names{"b.bmp"});
    FolderListing top, up;
    ASSERT_TRUE(lister_.ListFolder(Text(a), top));
    ASSERT_TRUE(lister_.ListFolder(Text(a / L"B\\up"), up));
    EXPECT_EQ(up.files, Names{"a.bmp"});
    ASSERT_TRUE(top.id.known && up.id.known);
    EXPECT_EQ(up.id.volume, top.id.volume);
    EXPECT_EQ(up.id.index, top.id.index);

    // The walk ends, with every bitmap once under its own name.
    ListBox list;
    MessagePacer pacer([] {});
    ScanFolderTree(lister_, Text(a), list, pacer);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(0), Text(a / L"B\\b.bmp"));
    EXPECT_EQ(list.Item(1), Text(a / L"a.bmp"));
}

}  // namespace
}  // namespace vlmr::win32
