// The folder scan: walk order, the bitmap filter, duplicates, what is
// skipped, folder links, and the pacing of message delivery.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "BuildConfig.h"
#include "Fakes.h"
#include "config/FolderScan.h"

namespace vlmr::test {
namespace {

using namespace std::chrono_literals;
using Entries = std::vector<std::string>;

Entries Scan(FakeFolderLister& lister, const std::string& folder, const Entries& before = {},
             const Entries& types = {}) {
    ListBox list;
    for (const std::string& e : before) list.Add(e);
    MessagePacer pacer([] {});
    ScanFolderTree(lister, folder, list, pacer, types);
    return Items(list);
}

// A{a.bmp, B{b.bmp}, C{c.bmp}}
void Abc(FakeFolderLister& l) {
    l.AddFolder("/A");
    l.AddFile("/A/a.bmp");
    l.AddFolder("/A/B");
    l.AddFile("/A/B/b.bmp");
    l.AddFolder("/A/C");
    l.AddFile("/A/C/c.bmp");
}

TEST(FolderScan, SubFolderTreesComeFirstInListingOrderThenTheFolderOwnFiles) {
    FakeFolderLister l;
    Abc(l);
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/B/b.bmp", "/A/C/c.bmp", "/A/a.bmp"}));

    // Deeper, and listed out of alphabetical order: nothing is sorted.
    FakeFolderLister m;
    m.AddFolder("/R");
    m.AddFile("/R/z.bmp");
    m.AddFile("/R/y.bmp");
    m.AddFolder("/R/C");
    m.AddFile("/R/C/c.bmp");
    m.AddFolder("/R/B");
    m.AddFile("/R/B/b.bmp");
    m.AddFolder("/R/B/D");
    m.AddFile("/R/B/D/d.bmp");
    EXPECT_EQ(Scan(m, "/R"), (Entries{"/R/C/c.bmp", "/R/B/D/d.bmp", "/R/B/b.bmp", "/R/z.bmp", "/R/y.bmp"}));
}

TEST(FolderScan, NamesWithALineBreakAreNeitherListedNorCounted) {
    FakeFolderLister l;
    l.AddFolder("/P");
    l.AddFile("/P/ok.bmp");
    l.AddFile("/P/two\nlines.bmp");
    l.AddFile("/P/dos\r\nend.bmp");
    l.AddFile("/P/cr\r.bmp");
    l.AddFolder("/P/bad\nfolder");
    l.AddFile("/P/bad\nfolder/inner.bmp");
    EXPECT_EQ(Scan(l, "/P"), (Entries{"/P/ok.bmp"}));
}

TEST(ImageFilter, OnlyTheLastFourCharactersCountInAnyCase) {
    for (const char* yes : {"photo.bmp", "PHOTO.BMP", "Photo.BmP", ".bmp", "/a/b.jpg.bmp", "C:\\x\\y.bMp"})
        EXPECT_TRUE(PassesImageFilter(yes)) << yes;
    for (const char* no : {"photo.jpg", "photo.dib", "photo.bmpx", "bmp", "", "BMP", "photo.bmp ", "photo_bmp",
                           "photo.bm"})
        EXPECT_FALSE(PassesImageFilter(no)) << no;

    FakeFolderLister l;
    l.AddFolder("/p");
    for (const char* name : {"photo.jpg", "photo.bmp", "photo.dib", "PHOTO.BMP", "photo.bmpx", "bmp", "Photo.BmP"})
        l.AddFile(std::string("/p/") + name);
    EXPECT_EQ(Scan(l, "/p"), (Entries{"/p/photo.bmp", "/p/PHOTO.BMP", "/p/Photo.BmP"}));
}

TEST(FolderScan, AFolderNamedLikeABitmapIsAnEntryAndIsWalked) {
    FakeFolderLister l;
    l.AddFolder("/A");
    l.AddFile("/A/a.bmp");
    l.AddFolder("/A/x.BMP");
    l.AddFile("/A/x.BMP/in.bmp");
    l.AddFile("/A/x.BMP/notes.txt");
    l.AddFolder("/A/empty.bMp");
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/x.BMP", "/A/x.BMP/in.bmp", "/A/empty.bMp", "/A/a.bmp"}));
}

TEST(FolderScan, ExtraPictureTypesAreFilesInAnyCaseInTheSameWalk) {
    FakeFolderLister l('/', true);
    l.AddFolder("/M");
    for (const char* name : {"z.PNG", "a.bmp", "b.Jpeg", "c.gif", "d.jpg.txt", "e.webp", "jpg", "f.jpeg "})
        l.AddFile(std::string("/M/") + name);
    l.AddFolder("/M/x.jpg");  // walked, never an entry
    l.AddFile("/M/x.jpg/in.JPG");
    l.AddFolder("/M/y.bmp");  // the bitmap rule's folder quirk stays
    l.AddFile("/M/y.bmp/p.png");

    EXPECT_EQ(Scan(l, "/M"), (Entries{"/M/y.bmp", "/M/a.bmp"}));
    EXPECT_EQ(Scan(l, "/M", {}, {".JPG", ".JPEG", ".PNG"}),
              (Entries{"/M/x.jpg/in.JPG", "/M/y.bmp", "/M/y.bmp/p.png", "/M/z.PNG", "/M/a.bmp", "/M/b.Jpeg"}));
    // Each type alone, and the duplicate rule as for bitmaps: an entry already there wins.
    EXPECT_EQ(Scan(l, "/M", {"/m/Z.png"}, {".PNG"}), (Entries{"/m/Z.png", "/M/y.bmp", "/M/y.bmp/p.png", "/M/a.bmp"}));
    EXPECT_EQ(Scan(l, "/M", {}, {".GIF", ".WEBP"}), (Entries{"/M/y.bmp", "/M/a.bmp", "/M/c.gif", "/M/e.webp"}));
}

TEST(FolderScan, DuplicatesFollowTheFileSystemsSenseOfCase) {
    for (bool caseBlind : {true, false}) {
        SCOPED_TRACE(caseBlind ? "case-blind" : "exact");
        FakeFolderLister l('/', caseBlind);
        l.AddFolder("/A");
        l.AddFolder("/A/B");
        l.AddFile("/A/B/q.BMP");
        l.AddFile("/A/p.bmp");
        l.AddFile("/A/P.BMP");
        const Entries result = Scan(l, "/A", {"/a/b/Q.bmp"});
        if (caseBlind)  // the first offered wins, an entry already there first of all
            EXPECT_EQ(result, (Entries{"/a/b/Q.bmp", "/A/p.bmp"}));
        else  // distinct files on a file system that tells them apart
            EXPECT_EQ(result, (Entries{"/a/b/Q.bmp", "/A/B/q.BMP", "/A/p.bmp", "/A/P.BMP"}));
    }
}

TEST(FolderScan, EntriesAlreadyListedKeepTheirPlaceAndAreNotAddedAgain) {
    FakeFolderLister l;
    Abc(l);
    EXPECT_EQ(Scan(l, "/A", {"/other/o.bmp", "/A/C/c.bmp"}),
              (Entries{"/other/o.bmp", "/A/C/c.bmp", "/A/B/b.bmp", "/A/a.bmp"}));
    // Scanning the same tree twice into one list adds nothing the second time.
    EXPECT_EQ(Scan(l, "/A", Scan(l, "/A")), (Entries{"/A/B/b.bmp", "/A/C/c.bmp", "/A/a.bmp"}));
}

TEST(FolderScan, WhatCannotBeListedIsSkippedAndTheWalkGoesOn) {
    FakeFolderLister l;
    Abc(l);
    l.At("/A/B").openFailure = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/C/c.bmp", "/A/a.bmp"}));

    // The start folder itself missing or closed: nothing, and no failure.
    EXPECT_EQ(Scan(l, "/nowhere"), Entries{});
    l.At("/A").openFailure = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
    EXPECT_EQ(Scan(l, "/A"), Entries{});
}

TEST(FolderScan, AListingThatStopsPartWayKeepsWhatWasFetched) {
    FakeFolderLister l;
    l.AddFolder("/A");
    for (const char* sub : {"B", "C", "D"}) {
        l.AddFolder(std::string("/A/") + sub);
        l.AddFile(std::string("/A/") + sub + "/" + sub + ".bmp");
    }
    for (const char* file : {"x.bmp", "y.bmp", "z.bmp"}) l.AddFile(std::string("/A/") + file);
    l.At("/A").subfoldersStopAfter = 2;
    l.At("/A").filesStopAfter = 1;
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/B/B.bmp", "/A/C/C.bmp", "/A/x.bmp"}));

    // No sub-folders at all: the files still count; no files: the sub-folders still count.
    l.At("/A").subfoldersStopAfter = 0;
    l.At("/A").filesStopAfter.reset();
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/x.bmp", "/A/y.bmp", "/A/z.bmp"}));
    l.At("/A").subfoldersStopAfter.reset();
    l.At("/A").filesStopAfter = 0;
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/B/B.bmp", "/A/C/C.bmp", "/A/D/D.bmp"}));
}

TEST(FolderScan, ALinkBackIntoTheTreeEndsButOtherLinksAreWalked) {
    FakeFolderLister l;
    Journal j;
    l.journal = &j;
    l.AddFolder("/A");
    l.AddFile("/A/a.bmp");
    l.AddFolder("/A/B");
    l.AddFile("/A/B/b.bmp");
    l.AddLink("/A/B/back", "/A");
    l.AddFolder("/elsewhere");
    l.AddFile("/elsewhere/e.bmp");
    l.AddLink("/A/out", "/elsewhere");
    EXPECT_EQ(Scan(l, "/A"), (Entries{"/A/B/b.bmp", "/A/out/e.bmp", "/A/a.bmp"}));
    EXPECT_EQ(j, (Journal{"list /A", "list /A/B", "list /A/B/back", "list /A/out"}));
}

TEST(MessagePacer, DeliversOnATimeBudgetNotPerItem) {
    int deliveries = 0;
    MessagePacer pacer([&] { ++deliveries; });
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200000; ++i) pacer.Tick();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // However slow the machine, no more than one delivery per 2 ms.
    EXPECT_LE(deliveries, elapsed / 2ms + 1);

    std::this_thread::sleep_for(60ms);
    const int before = deliveries;
    pacer.Tick();
    EXPECT_EQ(deliveries, before + 1);  // a long item is followed by a delivery
    pacer.Tick();
    EXPECT_EQ(deliveries, before + 1);
}

TEST(MessagePacer, ABigQuickScanDeliversRarely) {
    ConfigWorld w;
    w.lister.journal = nullptr;
    w.lister.AddFolder("/big");
    for (int d = 0; d < 20; ++d) {
        const std::string dir = "/big/d" + std::to_string(d);
        w.lister.AddFolder(dir);
        for (int f = 0; f < 250; ++f) w.lister.AddFile(dir + "/f" + std::to_string(f) + (f % 10 ? ".txt" : ".bmp"));
    }
    const auto start = std::chrono::steady_clock::now();
    w.form.RecurseFolderList("/big");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(w.form.IList.Count(), 500u);
    EXPECT_LE(w.runtime.deliveries, elapsed / 2ms + 1);
}

TEST(ProgressWindow, ALabelClickDuringTheScanOpensTheHomePageAndTheSaveFinishes) {
    ConfigWorld w;
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Center\r\n";
    w.form.Load();
    w.lister.AddFolder("/pics");
    w.lister.AddFile("/pics/z.bmp");
    w.lister.AddFolder("/pics/slow");
    w.lister.AddFile("/pics/slow/s.bmp");
    w.lister.AddFolder("/pics/after");
    w.lister.AddFile("/pics/after/x.bmp");
    // Listing this folder takes long enough that a delivery follows it.
    w.lister.onList = [](std::string_view folder) {
        if (folder == "/pics/slow") std::this_thread::sleep_for(60ms);
    };
    int clicks = 0;
    w.runtime.onDeliver = [&] {
        if (w.waitView.visible && clicks++ == 0) w.wait.WLabrel_Click();
    };
    w.form.PathEdited("/pics");
    w.journal.clear();
    w.form.PSave_Click();

    const auto at = [&](const std::string& e) { return std::find(w.journal.begin(), w.journal.end(), e); };
    const auto start = at("StartBrowser 6161 /usr/bin/browser " + std::string(kHomePage));
    ASSERT_NE(start, w.journal.end());
    EXPECT_LT(at("list /pics/slow"), start);
    EXPECT_LT(start, at("list /pics/after"));  // nested in the scan, which then goes on
    EXPECT_EQ(Items(w.form.IList), (Entries{"/pics/slow/s.bmp", "/pics/after/x.bmp", "/pics/z.bmp"}));
    EXPECT_EQ(w.runtime.messages.at(0).text, "3 Images Found");
    EXPECT_TRUE(w.runtime.ended);
}

}  // namespace
}  // namespace vlmr::test
