// "Load At Startup": the logon entry and its record in the settings file,
// and the command text each system stores for the program.
#include <gtest/gtest.h>

#include <utility>

#include "Fakes.h"
#include "store/IniText.h"
#include "store/LogonEntry.h"

namespace vlmr::test {
namespace {

std::string Enabled(ConfigWorld& w) { return IniLookup(w.files.files["/app/Config.ini"], "Startup", "Enabled"); }

TEST(LoadAtStartup, TickRegistersTheProgramThenRecordsTrue) {
    ConfigWorld w;
    w.form.SetLStart(vbChecked);
    EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Check on", "logon:write VLMR=/opt/velmora/VLMR",
                                        "ini:write Startup/Enabled=True", "write-atomic /app/Config.ini"}));
    EXPECT_EQ(w.logon.entries, (std::map<std::string, std::string>{{"VLMR", "/opt/velmora/VLMR"}}));
    EXPECT_EQ(Enabled(w), "True");
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(LoadAtStartup, ClearOrGrayRemovesOnlyOurEntryThenRecordsFalse) {
    for (int state : {vbUnchecked, vbGrayed}) {
        SCOPED_TRACE(state);
        ConfigWorld w;
        w.logon.entries["Other"] = "/usr/bin/other";
        w.form.SetLStart(vbChecked);
        w.journal.clear();
        w.form.SetLStart(state);
        EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Check off", "logon:delete VLMR",
                                            "ini:write Startup/Enabled=False", "write-atomic /app/Config.ini"}));
        EXPECT_EQ(w.logon.entries, (std::map<std::string, std::string>{{"Other", "/usr/bin/other"}}));
        EXPECT_EQ(Enabled(w), "False");
    }
}

TEST(LoadAtStartup, SettingTheSameStateRunsNothing) {
    ConfigWorld w;
    w.form.SetLStart(vbUnchecked);
    EXPECT_EQ(w.journal, Journal{});
    w.form.SetLStart(vbChecked);
    w.journal.clear();
    w.form.SetLStart(vbChecked);
    EXPECT_EQ(w.journal, Journal{});
}

TEST(LoadAtStartup, AFailureIsReportedOnceAndTheChoiceIsStillRecorded) {
    ConfigWorld w;
    w.logon.failure = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
    w.form.SetLStart(vbChecked);
    EXPECT_TRUE(w.logon.entries.empty());
    EXPECT_EQ(Enabled(w), "True");  // says True with no entry, as the original does
    EXPECT_EQ(w.runtime.messages, (std::vector<Message>{{"Could not store this choice\r\nAccess is denied.", "Error",
                                                        MessageIcon::Warning}}));
    EXPECT_EQ(w.form.LStart, vbChecked);
    w.runtime.messages.clear();

    // Clearing when there is no entry to remove still records False.
    w.logon.failure.reset();
    w.journal.clear();
    w.form.SetLStart(vbUnchecked);
    EXPECT_EQ(Acts(w.journal), (Journal{"cfg:Check off", "logon:delete VLMR", "ini:write Startup/Enabled=False",
                                        "write-atomic /app/Config.ini"}));
    EXPECT_EQ(Enabled(w), "False");
    EXPECT_TRUE(w.runtime.messages.empty());
    EXPECT_FALSE(w.runtime.ended);
}

TEST(LoadAtStartup, NamesTheRunningExecutableWhateverItIsCalled) {
    for (const char* exe : {"C:\\Program Files\\Wall\\MyWalls.exe", "/home/u/bin/wallpick", "D:\\\\VLMR.exe"}) {
        SCOPED_TRACE(exe);
        ConfigWorld w(exe);
        w.runtime.folder = "/somewhere/else";
        w.form.SetLStart(vbChecked);
        EXPECT_EQ(w.logon.entries["VLMR"], exe);
    }
}

TEST(RunEntryText, QuotesAPathWithABlankAndLeavesOthersAlone) {
    EXPECT_EQ(RunEntryText("C:\\Tools\\Wall\\VLMR.exe"), "C:\\Tools\\Wall\\VLMR.exe");
    EXPECT_EQ(RunEntryText("D:\\\\VLMR.exe"), "D:\\\\VLMR.exe");
    EXPECT_EQ(RunEntryText("C:\\Program Files\\Wall\\VLMR.exe"), "\"C:\\Program Files\\Wall\\VLMR.exe\"");
    EXPECT_EQ(RunEntryText("C:\\Bilder für\\Wall (x86)\\V L.exe"), "\"C:\\Bilder für\\Wall (x86)\\V L.exe\"");
}

// Reads an Exec value back the way a desktop does: the string escapes of the
// value first, then the quoting of one argument, then %% as a literal %.
// Returns the arguments it found.
std::vector<std::string> ExecArguments(const std::string& value) {
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char n = value[++i];
            if (n == 's') unescaped += ' ';
            else if (n == 'n') unescaped += '\n';
            else if (n == 't') unescaped += '\t';
            else if (n == 'r') unescaped += '\r';
            else if (n == '\\') unescaped += '\\';
            else unescaped.append({'\\', n});
            continue;
        }
        unescaped += c;
    }
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (std::size_t i = 0; i < unescaped.size(); ++i) {
        const char c = unescaped[i];
        if (quoted) {
            if (c == '"') quoted = false;
            else if (c == '\\' && i + 1 < unescaped.size() && std::string_view("\"`$\\").find(unescaped[i + 1]) !=
                                                                   std::string_view::npos)
                arg += unescaped[++i];
            else arg += c;
        } else if (c == ' ') {
            if (inArg) args.push_back(std::exchange(arg, {}));
            inArg = false;
        } else if (c == '"') {
            quoted = inArg = true;
        } else {
            // Outside quotes a reserved character is not allowed at all.
            EXPECT_EQ(std::string_view("\t\n\"'\\><~|&;$*?#()`").find(c), std::string_view::npos) << value;
            arg += c;
            inArg = true;
        }
    }
    EXPECT_FALSE(quoted) << "unbalanced quote in " << value;
    if (inArg) args.push_back(arg);
    for (std::string& a : args) {
        std::string out;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] == '%') {
                EXPECT_TRUE(i + 1 < a.size() && a[i + 1] == '%') << "field code in " << value;
                ++i;
            }
            out += a[i];
        }
        a = out;
    }
    return args;
}

TEST(DesktopEntryExec, EscapesByTheDesktopEntryRules) {
    EXPECT_EQ(DesktopEntryExec("/usr/bin/VLMR"), "/usr/bin/VLMR");
    EXPECT_EQ(DesktopEntryExec("/opt/my apps/VLMR"), "\"/opt/my apps/VLMR\"");
    EXPECT_EQ(DesktopEntryExec("/opt/a\"b/VLMR"), "\"/opt/a\\\\\"b/VLMR\"");
    EXPECT_EQ(DesktopEntryExec("/opt/a`b/VLMR"), "\"/opt/a\\\\`b/VLMR\"");
    EXPECT_EQ(DesktopEntryExec("/opt/a$b/VLMR"), "\"/opt/a\\\\$b/VLMR\"");
    EXPECT_EQ(DesktopEntryExec("/opt/a\\b/VLMR"), "\"/opt/a\\\\\\\\b/VLMR\"");  // four backslashes
    EXPECT_EQ(DesktopEntryExec("/opt/100%/VLMR"), "/opt/100%%/VLMR");
    EXPECT_EQ(DesktopEntryExec("/opt/a&b 50%/VLMR"), "\"/opt/a&b 50%%/VLMR\"");
    EXPECT_EQ(DesktopEntryExec("/opt/it's/VLMR"), "\"/opt/it's/VLMR\"");
}

TEST(DesktopEntryExec, EveryPathReadsBackAsOneArgumentUnchanged) {
    for (const std::string path :
         {"/usr/bin/VLMR", "/opt/my apps/VLMR", "/home/u/\"quoted\"/V", "/x/`cmd`/V", "/x/$HOME/V", "/x/a\\b\\\\c/V",
          "/x/%f %u %%/V", "/x/a;b|c&d>e<f~g*h?i#j(k)l/V", "/x/tab\there/V", "/x/two\nlines/V", "/x/cr\rhere/V",
          "/home/Jürgen/Bilder/VLMR", "/x/ends with backslash\\", "/x/'single'/V"}) {
        SCOPED_TRACE(path);
        const std::string exec = DesktopEntryExec(path);
        // A desktop file value is one line of printable text.
        for (char c : exec) EXPECT_FALSE(c == '\n' || c == '\r' || c == '\t') << "raw control character";
        EXPECT_EQ(ExecArguments(exec), std::vector<std::string>{path});
    }
}

}  // namespace
}  // namespace vlmr::test
