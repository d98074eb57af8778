#include "LinuxShell.h"
#include "ExecArguments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

namespace vlmr {
namespace {

namespace fs = std::filesystem;

const char* const kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                  "XDG_DATA_HOME",  "XDG_DATA_DIRS",   "XDG_CURRENT_DESKTOP"};

// A private set of XDG folders, for one test: config (XDG_CONFIG_HOME),
// sysconf (XDG_CONFIG_DIRS), data (XDG_DATA_HOME), share1:share2 (XDG_DATA_DIRS).
class LinuxShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vlmr-shell-XXXXXX";
        root_ = mkdtemp(pattern);
        for (const char* name : kVariables)
            if (const char* value = std::getenv(name)) saved_[name] = value;
        setenv("HOME", (root_ + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root_ + "/sysconf").c_str(), 1);
        setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        setenv("XDG_DATA_DIRS", (root_ + "/share1:" + root_ + "/share2").c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override {
        for (const char* name : kVariables) {
            if (saved_.contains(name)) setenv(name, saved_[name].c_str(), 1);
            else unsetenv(name);
        }
        fs::remove_all(root_);
    }

    void Write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A program that records its arguments, each in brackets, in `record`.
    std::string Recorder(const std::string& path, const std::string& record) {
        Write(path, "#!/bin/sh\nprintf '[%s]' \"$@\" > \"" + record + ".tmp\"\n/bin/mv \"" + record + ".tmp\" \"" +
                        record + "\"\n");
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }
    // A desktop file in an applications folder ("data", "share1"...).
    std::string Entry(const std::string& base, const std::string& name, const std::string& exec,
                      const std::string& extra = "") {
        const std::string path = root_ + "/" + base + "/applications/" + name;
        Write(path, "[Desktop Entry]\n" + extra + "Type=Application\nName=Test\nExec=" + exec + "\n");
        return path;
    }
    // The same entry, with a working program: /bin/true.
    std::string Working(const std::string& base, const std::string& name, const std::string& extra = "") {
        return Entry(base, name, "/bin/true %u", extra);
    }
    void List(const std::string& file, const std::string& text) { Write(root_ + "/" + file, text); }

    std::string Found() {
        LinuxShell shell;
        const BrowserLookup lookup = shell.FindBrowser();
        if (lookup.result != BrowserLookup::Result::Found) return "(none)";
        return lookup.browser.substr(root_.size() + 1);
    }

    std::string root_;
    std::map<std::string, std::string> saved_;
};

std::string WaitAndRead(const std::string& path) {
    for (int i = 0; i < 200 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(LinuxShellTest, StartsTheDefaultBrowserWithTheAddressAsItsOneArgument) {
    // The program's folder needs the Exec quoting, and the file's own
    // escaping on top of it ("\\$" in the file is "\$" in the value).
    const std::string record = root_ + "/opened";
    Recorder(root_ + "/my $apps/browser", record);
    const std::string desktop =
        Entry("data", "fake-browser.desktop", "\"" + root_ + "/my \\\\$apps/browser\"\\s%u", "Terminal=false\n");
    List("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=fake-browser.desktop;\n");

    LinuxShell shell;
    const BrowserLookup lookup = shell.FindBrowser();
    ASSERT_EQ(lookup.result, BrowserLookup::Result::Found);
    EXPECT_EQ(lookup.browser, desktop);

    const std::string address = "https://velmora.example/a b?c=1&d=%75 \"q\" 'x' $HOME;`id`";
    shell.StartBrowser(0, lookup.browser, address);
    EXPECT_EQ(WaitAndRead(record), "[" + address + "]");
}

TEST_F(LinuxShellTest, WithoutAUsableHandlerThereIsNoBrowser) {
    EXPECT_EQ(Found(), "(none)");

    // Named, but the entry is missing, hidden, no application, in need of a
    // terminal, or its program is missing.
    Entry("share1", "gone.desktop", root_ + "/no/such/browser %u");
    Working("share1", "hidden.desktop", "Hidden=true\n");
    Working("share1", "link.desktop", "Type=Link\n");
    Working("share1", "terminal.desktop", "Terminal=true\n");
    Working("share1", "tried.desktop", "TryExec=no-such-program-here\n");
    Entry("share1", "broken.desktop", "\"/bin/true %u");
    List("config/mimeapps.list",
         "[Default Applications]\n"
         "x-scheme-handler/https=missing.desktop;gone.desktop;hidden.desktop;link.desktop;terminal.desktop;"
         "tried.desktop;broken.desktop\n"
         "text/html=gone.desktop\n");
    EXPECT_EQ(Found(), "(none)");
}

TEST_F(LinuxShellTest, TheListsAreReadInTheirOrderOfPrecedence) {
    Working("share2", "system.desktop");
    Working("share2", "desk.desktop");
    Working("data", "user.desktop");
    Working("share1", "data-home.desktop");

    List("share1/applications/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=system.desktop\n");
    EXPECT_EQ(Found(), "share2/applications/system.desktop");
    List("data/applications/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=data-home.desktop\n");
    EXPECT_EQ(Found(), "share1/applications/data-home.desktop");
    List("sysconf/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=user.desktop\n");
    EXPECT_EQ(Found(), "data/applications/user.desktop");

    // The desktop's own list beats the common one of the same folder only.
    List("sysconf/test-mimeapps.list", "[Default Applications]\nx-scheme-handler/https=desk.desktop\n");
    EXPECT_EQ(Found(), "data/applications/user.desktop");
    setenv("XDG_CURRENT_DESKTOP", "Other:TEST", 1);
    EXPECT_EQ(Found(), "share2/applications/desk.desktop");
    List("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=system.desktop\n");
    EXPECT_EQ(Found(), "share2/applications/system.desktop");
}

TEST_F(LinuxShellTest, HttpsLinksComeFirstThenHtmlFiles) {
    Working("share1", "html.desktop");
    Working("share1", "https.desktop");
    List("config/mimeapps.list", "[Default Applications]\ntext/html=html.desktop\n");
    EXPECT_EQ(Found(), "share1/applications/html.desktop");
    List("share1/applications/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=https.desktop\n");
    EXPECT_EQ(Found(), "share1/applications/https.desktop");
}

TEST_F(LinuxShellTest, WithoutADefaultTheAssociationsDecide) {
    Working("share1", "added.desktop");
    Working("share1", "declared.desktop");
    Working("share1", "other.desktop");
    List("share1/applications/mimeinfo.cache", "[MIME Cache]\nx-scheme-handler/https=declared.desktop;\n");
    EXPECT_EQ(Found(), "share1/applications/declared.desktop");
    List("share2/applications/mimeapps.list",
         "[Added Associations]\nx-scheme-handler/https=added.desktop;other.desktop;\n");
    EXPECT_EQ(Found(), "share1/applications/added.desktop");
    // A more important list takes one away; a less important one cannot.
    List("share1/applications/mimeapps.list", "[Removed Associations]\nx-scheme-handler/https=added.desktop\n");
    EXPECT_EQ(Found(), "share1/applications/other.desktop");
    List("config/mimeapps.list",
         "[Removed Associations]\nx-scheme-handler/https=other.desktop;declared.desktop\n"
         "[Added Associations]\nx-scheme-handler/https=missing.desktop\n");
    EXPECT_EQ(Found(), "(none)");
    List("share1/applications/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=added.desktop\n");
    EXPECT_EQ(Found(), "share1/applications/added.desktop");
}

TEST_F(LinuxShellTest, DesktopFileIdsNameSubFoldersWithDashes) {
    Working("share2", "vendor/web/browser.desktop");
    List("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/https=vendor-web-browser.desktop\n");
    EXPECT_EQ(Found(), "share2/applications/vendor/web/browser.desktop");
    // The file of an id in XDG_DATA_HOME hides the others of that id.
    Working("data", "vendor-web-browser.desktop", "Hidden=true\n");
    EXPECT_EQ(Found(), "(none)");
}

TEST(ExecArguments, UndoTheQuotingAndPutTheAddressInPlaceOfItsFieldCode) {
    using Args = std::vector<std::string>;
    const std::string a = "https://x.example/?q=\"1 2\"%20";
    EXPECT_EQ(ExecArguments("firefox %u", a), (Args{"firefox", a}));
    EXPECT_EQ(ExecArguments("\"/opt/my browser/run\"  --new-window\t%U", a),
              (Args{"/opt/my browser/run", "--new-window", a}));
    EXPECT_EQ(ExecArguments(R"("/a/\$b\\c\"d\`e\x" %F)", a), (Args{R"(/a/$b\c"d`e\x)", a}));
    EXPECT_EQ(ExecArguments("run --url=%f 100%% %i %c %k %d ''", a), (Args{"run", "--url=" + a, "100%", ""}));
    // An entry without a field code still gets the address, last.
    EXPECT_EQ(ExecArguments("run -x", a), (Args{"run", "-x", a}));
    EXPECT_EQ(ExecArguments("", a), Args{});
    EXPECT_EQ(ExecArguments("\"run %u", a), Args{});
    EXPECT_EQ(ExecArguments("%i", a), Args{});
}

}  // namespace
}  // namespace vlmr
