// The GSettings setters on real GIO: each case runs the setter in a fresh
// process of this binary (GIO reads its environment once per process) with
// the keyfile backend under a private XDG_CONFIG_HOME, then reads the stored
// keys back from the keyfile itself.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GSettingsWallpaper.h"
#include "../LogOnStderr.h"

namespace vlmr {
namespace {

namespace fs = std::filesystem;

// Exit codes of the child.
constexpr int kApplied = 0;
constexpr int kRefused = 1;
constexpr int kAbsent = 3;

constexpr const char* kGnomeGroup = "org/gnome/desktop/background";
constexpr const char* kCinnamonGroup = "org/cinnamon/desktop/background";
constexpr const char* kMateGroup = "org/mate/desktop/background";

// Stand-ins for the schemas that Cinnamon and MATE install, with the keys
// and enum names those desktops use.
constexpr const char* kStubSchemas = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <enum id="test.BackgroundStyle">
    <value nick="none" value="0"/>
    <value nick="wallpaper" value="1"/>
    <value nick="centered" value="2"/>
    <value nick="scaled" value="3"/>
    <value nick="stretched" value="4"/>
    <value nick="zoom" value="5"/>
    <value nick="spanned" value="6"/>
  </enum>
  <schema id="org.cinnamon.desktop.background" path="/org/cinnamon/desktop/background/">
    <key name="picture-options" enum="test.BackgroundStyle"><default>'zoom'</default></key>
    <key name="picture-uri" type="s"><default>'file:///usr/share/backgrounds/default.jpg'</default></key>
    <key name="picture-opacity" type="i"><default>100</default></key>
  </schema>
  <schema id="org.mate.background" path="/org/mate/desktop/background/">
    <key name="picture-options" enum="test.BackgroundStyle"><default>'zoom'</default></key>
    <key name="picture-filename" type="s"><default>'/usr/share/backgrounds/default.jpg'</default></key>
    <key name="draw-background" type="b"><default>true</default></key>
  </schema>
</schemalist>
)";

// Schemas under the right names that cannot take our keys.
constexpr const char* kUnfitSchemas = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <enum id="test.FewStyles">
    <value nick="wallpaper" value="1"/>
    <value nick="centered" value="2"/>
    <value nick="zoom" value="5"/>
  </enum>
  <schema id="org.cinnamon.desktop.background">
    <key name="picture-options" type="s"><default>'zoom'</default></key>
    <key name="picture-uri" type="s"><default>''</default></key>
  </schema>
  <schema id="org.mate.background" path="/org/mate/desktop/background/">
    <key name="picture-options" type="s"><default>'zoom'</default></key>
    <key name="picture-uri" type="s"><default>''</default></key>
  </schema>
  <schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">
    <key name="picture-options" enum="test.FewStyles"><default>'zoom'</default></key>
    <key name="picture-uri" type="s"><default>''</default></key>
  </schema>
</schemalist>
)";

// MATE's schema as an older release might have it: the plain styles only.
constexpr const char* kPlainStylesSchema = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <enum id="test.PlainStyles">
    <value nick="wallpaper" value="1"/>
    <value nick="centered" value="2"/>
    <value nick="stretched" value="4"/>
  </enum>
  <schema id="org.mate.background" path="/org/mate/desktop/background/">
    <key name="picture-options" enum="test.PlainStyles"><default>'stretched'</default></key>
    <key name="picture-filename" type="s"><default>''</default></key>
  </schema>
</schemalist>
)";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ChildResult {
    int exitCode = -1;  // -1: killed by a signal
    std::string stdoutText;
    std::string output;  // stdout and stderr
};

// A private configuration home, schema folder and picture folder; the setter
// runs in children of this binary inside it.
class Sandbox {
public:
    Sandbox() {
        char pattern[] = "/tmp/vlmr-gsettings-XXXXXX";
        root_ = ::mkdtemp(pattern);
        fs::create_directories(root_ / "home");
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "run");
        fs::create_directories(root_ / "data");  // no schemas in it
        fs::permissions(root_ / "run", fs::perms::owner_all);
        env_ = {
            {"HOME", (root_ / "home").string()},
            {"XDG_CONFIG_HOME", (root_ / "config").string()},
            {"XDG_RUNTIME_DIR", (root_ / "run").string()},
            {"XDG_DATA_DIRS", "/usr/local/share:/usr/share"},
            {"GSETTINGS_BACKEND", "keyfile"},
            // A value of the wrong type or outside an enum is only a critical
            // message inside GIO: make it a crash the test sees.
            {"G_DEBUG", "fatal-criticals"},
        };
        for (const char* inherited : {"PATH", "LD_LIBRARY_PATH"})
            if (const char* value = std::getenv(inherited)) env_[inherited] = value;
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const fs::path& root() const { return root_; }
    std::map<std::string, std::string>& env() { return env_; }
    fs::path Keyfile() const { return root_ / "config/glib-2.0/settings/keyfile"; }

    // Compiles the schemas into a folder of their own, which replaces every
    // installed schema.
    void UseSchemas(const char* xml) {
        const fs::path folder = root_ / "schemas";
        fs::create_directories(folder);
        std::ofstream(folder / "test.gschema.xml") << xml;
        const std::string command = "glib-compile-schemas '" + folder.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << "glib-compile-schemas (libglib2.0-bin)";
        env_["GSETTINGS_SCHEMA_DIR"] = folder.string();
        env_["XDG_DATA_DIRS"] = (root_ / "data").string();
    }

    // Any file will do: the setter checks that it is a file, not what is in it.
    std::string MakeImage(const std::string& relative) const {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << "BM";
        return path.string();
    }

    // Runs the setter's full sequence in a new process: options, style, file, apply.
    ChildResult Apply(const char* family, int style, const std::string& path,
                      std::vector<std::string> prefix = {}) const {
        std::vector<std::string> args = std::move(prefix);
        for (const std::string& arg :
             {Self(), std::string("--apply"), std::string(family), std::to_string(style), path})
            args.push_back(arg);
        return Run(args);
    }

    // Any program in the sandbox's environment and folder.
    ChildResult Run(std::vector<std::string> args) const {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<std::string> pairs;
        for (const auto& [name, value] : env_) pairs.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (std::string& pair : pairs) envp.push_back(pair.data());
        envp.push_back(nullptr);

        ChildResult result;
        gchar* out = nullptr;
        gchar* err = nullptr;
        gint status = 0;
        GError* error = nullptr;
        const std::string cwd = root_.string();
        if (!g_spawn_sync(cwd.c_str(), argv.data(), envp.data(), G_SPAWN_SEARCH_PATH, nullptr,
                          nullptr, &out, &err, &status, &error)) {
            result.output = error->message;
            g_error_free(error);
            return result;
        }
        result.stdoutText = out;
        result.output = std::string(out) + err;
        g_free(out);
        g_free(err);
        if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
        return result;
    }

    // This binary, copied where an unprivileged user can run it.
    std::string Self() const {
        return self_.empty() ? fs::read_symlink("/proc/self/exe").string() : self_;
    }
    void CopySelfInto(const fs::path& folder) {
        self_ = (folder / "child").string();
        fs::copy_file("/proc/self/exe", self_);
    }

private:
    fs::path root_;
    std::map<std::string, std::string> env_;
    std::string self_;
};

// One group of the keyfile, each value decoded from GVariant text.
std::map<std::string, std::string> StoredKeys(const fs::path& keyfile, const char* group) {
    std::map<std::string, std::string> keys;
    GKeyFile* file = g_key_file_new();
    if (g_key_file_load_from_file(file, keyfile.c_str(), G_KEY_FILE_NONE, nullptr)) {
        gchar** names = g_key_file_get_keys(file, group, nullptr, nullptr);
        for (gchar** name = names; name != nullptr && *name != nullptr; ++name) {
            gchar* text = g_key_file_get_value(file, group, *name, nullptr);
            GVariant* value =
                g_variant_parse(G_VARIANT_TYPE_STRING, text, nullptr, nullptr, nullptr);
            keys[*name] =
                value != nullptr ? g_variant_get_string(value, nullptr) : "<not a string>";
            if (value != nullptr) g_variant_unref(value);
            g_free(text);
        }
        g_strfreev(names);
    }
    g_key_file_free(file);
    return keys;
}

std::string PathOfUri(const std::string& uri) {
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    std::string text = path != nullptr ? path : "<not a file URI>";
    g_free(path);
    return text;
}

bool GnomeSchemaInstalled() {
    return fs::exists("/usr/share/glib-2.0/schemas/org.gnome.desktop.background.gschema.xml");
}

// By style code: center, tile, stretch, fit inside with bars, fill and crop.
const char* const kStyleNames[] = {"centered", "wallpaper", "stretched", "scaled", "zoom"};

TEST(gsettings, GnomeSetsBothUrisAndEachStyleInTheInstalledSchema) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    const std::string first = box.MakeImage("pictures/first.bmp");
    const std::string second = box.MakeImage("pictures/second.bmp");
    // Each style after another, so every write has to replace the one before.
    for (int style : {2, 0, 1, 3, 4}) {
        const std::string& image = style == 0 ? second : first;
        const ChildResult run = box.Apply("gnome", style, image);
        ASSERT_EQ(run.exitCode, kApplied) << "style " << style << ": " << run.output;
        const auto keys = StoredKeys(box.Keyfile(), kGnomeGroup);
        EXPECT_EQ(keys.at("picture-uri"), "file://" + image) << "style " << style;
        EXPECT_EQ(keys.at("picture-uri-dark"), "file://" + image) << "style " << style;
        EXPECT_EQ(keys.at("picture-options"), kStyleNames[style]);
    }
}

TEST(gsettings, CinnamonTakesAUriAndWritesNoDarkKeyItsSchemaLacks) {
    Sandbox box;
    box.UseSchemas(kStubSchemas);
    const std::string image = box.MakeImage("pictures/mint.bmp");
    for (int style : {1, 2, 4, 3}) {
        const ChildResult run = box.Apply("cinnamon", style, image);
        ASSERT_EQ(run.exitCode, kApplied) << run.output;
        const std::map<std::string, std::string> expected{{"picture-uri", "file://" + image},
                                                          {"picture-options", kStyleNames[style]}};
        EXPECT_EQ(StoredKeys(box.Keyfile(), kCinnamonGroup), expected);
    }
    EXPECT_TRUE(StoredKeys(box.Keyfile(), kGnomeGroup).empty());
}

TEST(gsettings, MateTakesAPlainPath) {
    Sandbox box;
    box.UseSchemas(kStubSchemas);
    const std::string image = box.MakeImage("My Pictures/Été à Zürich.bmp");
    for (int style : {0, 2, 3, 4}) {
        const ChildResult run = box.Apply("mate", style, image);
        ASSERT_EQ(run.exitCode, kApplied) << run.output;
        const std::map<std::string, std::string> expected{{"picture-filename", image},
                                                          {"picture-options", kStyleNames[style]}};
        EXPECT_EQ(StoredKeys(box.Keyfile(), kMateGroup), expected);
    }
}

TEST(gsettings, PathWithBlanksAndNonAsciiLettersBecomesAFileUri) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    const std::string image = box.MakeImage("My Pictures/Été à Zürich #1 100%.bmp");
    const ChildResult run = box.Apply("gnome", 0, image);
    ASSERT_EQ(run.exitCode, kApplied) << run.output;
    const std::string uri = StoredKeys(box.Keyfile(), kGnomeGroup).at("picture-uri");
    EXPECT_EQ(uri.rfind("file:///", 0), 0u) << uri;
    // Escaped, so the URI itself is plain ASCII without blanks.
    for (char c : uri) EXPECT_TRUE(c > ' ' && c < 0x7f && c != '#') << uri;
    EXPECT_EQ(PathOfUri(uri), image);

    // A relative path is taken from the working folder, which the desktop does not share.
    const ChildResult relative = box.Apply("gnome", 0, "My Pictures/Été à Zürich #1 100%.bmp");
    ASSERT_EQ(relative.exitCode, kApplied) << relative.output;
    EXPECT_EQ(PathOfUri(StoredKeys(box.Keyfile(), kGnomeGroup).at("picture-uri-dark")), image);
}

// File names are bytes: a URI carries a name in Latin-1 escaped byte by
// byte; MATE's plain path is a UTF-8 string, which cannot hold it.
TEST(gsettings, NameInLatin1IsAnEscapedUriOrRefusedAsAPlainPath) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    box.UseSchemas(kStubSchemas);
    box.env()["XDG_DATA_DIRS"] = "/usr/share";  // GNOME's schema beside the stubs
    const std::string image = box.MakeImage("pictures/caf\xe9.bmp");
    const std::string uri = "file://" + (box.root() / "pictures").string() + "/caf%E9.bmp";
    for (const auto& [family, group] :
         {std::pair{"gnome", kGnomeGroup}, std::pair{"cinnamon", kCinnamonGroup}}) {
        const ChildResult run = box.Apply(family, 0, image);
        ASSERT_EQ(run.exitCode, kApplied) << family << ": " << run.output;
        EXPECT_EQ(StoredKeys(box.Keyfile(), group).at("picture-uri"), uri) << family;
    }
    const std::string before = ReadFile(box.Keyfile());
    const ChildResult mate = box.Apply("mate", 0, image);
    EXPECT_EQ(mate.exitCode, kRefused) << mate.output;
    EXPECT_NE(mate.output.find(test::kUnchanged), std::string::npos) << mate.output;
    EXPECT_EQ(ReadFile(box.Keyfile()), before);
}

TEST(gsettings, NoFileOrNoStyleRefusesAndLeavesTheKeysAlone) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    box.UseSchemas(kStubSchemas);
    box.env()["XDG_DATA_DIRS"] = "/usr/share";  // GNOME's schema beside the stubs
    const std::string image = box.MakeImage("pictures/kept.bmp");
    for (const char* family : {"gnome", "cinnamon", "mate"}) {
        const ChildResult good = box.Apply(family, 2, image);
        ASSERT_EQ(good.exitCode, kApplied) << family << ": " << good.output;
    }
    const std::string before = ReadFile(box.Keyfile());
    ASSERT_NE(before.find("stretched"), std::string::npos);

    fs::create_directories(box.root() / "pictures/folder.bmp");
    for (const char* family : {"gnome", "cinnamon", "mate"}) {
        for (const std::string& path :
             {(box.root() / "pictures/missing.bmp").string(),
              (box.root() / "pictures/folder.bmp").string(), std::string()}) {
            const ChildResult run = box.Apply(family, 0, path);
            EXPECT_EQ(run.exitCode, kRefused) << family << " '" << path << "': " << run.output;
        }
        // A style outside 0..4 is refused, so the apply has none to write.
        const ChildResult badStyle = box.Apply(family, 5, image);
        EXPECT_EQ(badStyle.exitCode, kRefused) << family << ": " << badStyle.output;
    }
    EXPECT_EQ(ReadFile(box.Keyfile()), before);
}

// Writing a name the enum lacks would be a critical error inside GIO: fill
// and fit are refused where the schema has no zoom or scaled, and the plain
// styles still work.
TEST(gsettings, SchemaWithoutZoomOrScaledRefusesOnlyThose) {
    Sandbox box;
    box.UseSchemas(kPlainStylesSchema);
    const std::string image = box.MakeImage("pictures/plain.bmp");
    const ChildResult plain = box.Apply("mate", 2, image);
    ASSERT_EQ(plain.exitCode, kApplied) << plain.output;
    const std::string before = ReadFile(box.Keyfile());
    for (int style : {3, 4}) {
        const ChildResult run = box.Apply("mate", style, image);
        EXPECT_EQ(run.exitCode, kRefused) << run.output;
        EXPECT_NE(run.output.find(test::kUnchanged), std::string::npos) << run.output;
    }
    EXPECT_EQ(ReadFile(box.Keyfile()), before);
}

TEST(gsettings, MissingOrUnfitSchemaIsAnAbsentServiceNotACrash) {
    Sandbox box;
    const std::string image = box.MakeImage("pictures/any.bmp");
    // No schema anywhere: GNOME's is hidden too.
    box.env()["XDG_DATA_DIRS"] = (box.root() / "data").string();
    for (const char* family : {"gnome", "cinnamon", "mate"}) {
        const ChildResult run = box.Apply(family, 2, image);
        EXPECT_EQ(run.exitCode, kAbsent) << family << ": " << run.output;
    }
    // Only other schemas installed.
    box.UseSchemas(R"(<schemalist><schema id="org.example.other" path="/org/example/other/">
        <key name="picture-uri" type="s"><default>''</default></key></schema></schemalist>)");
    for (const char* family : {"gnome", "cinnamon", "mate"}) {
        const ChildResult run = box.Apply(family, 2, image);
        EXPECT_EQ(run.exitCode, kAbsent) << family << ": " << run.output;
    }

    // The right names, but relocatable (Cinnamon), without picture-filename
    // (MATE), or an enum without "stretched" (GNOME).
    Sandbox unfit;
    unfit.UseSchemas(kUnfitSchemas);
    const std::string picture = unfit.MakeImage("pictures/any.bmp");
    for (const char* family : {"gnome", "cinnamon", "mate"}) {
        const ChildResult run = unfit.Apply(family, 0, picture);
        EXPECT_EQ(run.exitCode, kAbsent) << family << ": " << run.output;
    }
    EXPECT_FALSE(fs::exists(unfit.Keyfile()));
}

TEST(gsettings, BackendThatReachesNoDesktopIsNoSuccess) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    const std::string image = box.MakeImage("pictures/any.bmp");
    // GIO's fallback when dconf is not installed keeps the values in memory.
    box.env()["GSETTINGS_BACKEND"] = "memory";
    const ChildResult memory = box.Apply("gnome", 2, image);
    EXPECT_EQ(memory.exitCode, kAbsent) << memory.output;

    // dconf without a session bus: the write goes nowhere.
    box.env()["GSETTINGS_BACKEND"] = "dconf";
    const ChildResult noBus = box.Apply("gnome", 2, image);
    EXPECT_NE(noBus.exitCode, kApplied) << noBus.output;
    EXPECT_NE(noBus.exitCode, -1) << noBus.output;
    EXPECT_FALSE(fs::exists(box.root() / "config/dconf/user"));
}

// What a GNOME session really runs: dconf, writing through its service on
// the session bus. The values are read back by another process.
TEST(gsettings, GnomeThroughDconfOnAPrivateBus) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    const std::string image = box.MakeImage("My Pictures/dconf été.bmp");
    box.env()["GSETTINGS_BACKEND"] = "dconf";
    const fs::path config = box.root() / "session.conf";
    std::ofstream(config)
        << R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)"
        << (box.root() / "run").string() << R"(</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
    const ChildResult run = box.Apply(
        "gnome", 1, image, {"dbus-run-session", "--config-file=" + config.string(), "--"});
    ASSERT_EQ(run.exitCode, kApplied) << "dbus-daemon, dconf-service: " << run.output;

    // dconf reads its database without the bus.
    std::map<std::string, std::string> stored;
    for (const char* key : {"picture-uri", "picture-uri-dark", "picture-options"}) {
        const ChildResult get = box.Run({"gsettings", "get", "org.gnome.desktop.background", key});
        ASSERT_EQ(get.exitCode, 0) << get.output;
        GVariant* value = g_variant_parse(G_VARIANT_TYPE_STRING, get.stdoutText.c_str(), nullptr,
                                          nullptr, nullptr);
        ASSERT_NE(value, nullptr) << get.stdoutText;
        stored[key] = g_variant_get_string(value, nullptr);
        g_variant_unref(value);
    }
    EXPECT_EQ(PathOfUri(stored["picture-uri"]), image);
    EXPECT_EQ(stored["picture-uri-dark"], stored["picture-uri"]);
    EXPECT_EQ(stored["picture-options"], "wallpaper");
    EXPECT_FALSE(fs::exists(box.Keyfile()));
}

TEST(gsettings, ReadOnlySettingsRefuseAndChangeNothing) {
    ASSERT_TRUE(GnomeSchemaInstalled()) << "install gsettings-desktop-schemas";
    Sandbox box;
    const std::string image = box.MakeImage("pictures/kept.bmp");
    const std::string other = box.MakeImage("pictures/other.bmp");
    ASSERT_EQ(box.Apply("gnome", 1, image).exitCode, kApplied);
    const std::string before = ReadFile(box.Keyfile());

    // The keyfile backend locks every key when its folder cannot be written.
    // root writes anywhere, so the setter then runs as nobody.
    std::vector<std::string> prefix;
    if (::geteuid() == 0) {
        box.CopySelfInto(box.root());
        prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        for (const auto& entry : fs::recursive_directory_iterator(box.root()))
            ASSERT_EQ(::chown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
        ASSERT_EQ(::chown(box.root().c_str(), 65534, 65534), 0);
    }
    fs::permissions(box.Keyfile().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    const ChildResult run = box.Apply("gnome", 0, other, prefix);
    fs::permissions(box.Keyfile().parent_path(), fs::perms::owner_all);  // for the clean-up
    EXPECT_EQ(run.exitCode, kRefused) << run.output;
    EXPECT_EQ(ReadFile(box.Keyfile()), before);
}

// The child: the boot run's sequence on one setter, the apply's outcome as exit code.
int ApplyInChild(char** argv) {
    const std::string_view name = argv[2];
    const GSettingsFamily family = name == "cinnamon" ? GSettingsFamily::Cinnamon
                                   : name == "mate"   ? GSettingsFamily::Mate
                                                      : GSettingsFamily::Gnome;
    GSettingsWallpaper service(family);
    std::unique_ptr<ActiveDesktop> desktop = service.Create();
    if (!desktop) {
        std::puts("absent");
        return kAbsent;
    }
    ComponentsOpt components;
    if (!desktop->GetDesktopItemOptions(components) || components.fActiveDesktop != 1) return 2;
    WallpaperOpt options;
    options.dwStyle = static_cast<std::uint32_t>(std::atoi(argv[3]));
    desktop->SetWallpaperOptions(options);
    desktop->SetWallpaper(argv[4]);
    const bool applied = desktop->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH);
    std::puts(applied ? "applied" : "refused");
    return applied ? kApplied : kRefused;
}

}  // namespace
}  // namespace vlmr

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--apply") return vlmr::ApplyInChild(argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
