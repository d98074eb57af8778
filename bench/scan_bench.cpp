// Times the image scan over a real folder tree: the configurator's walk
// with the Linux listing, the image filter and the duplicate index. Prints
// the median of several runs and the number of images found.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "PosixFolderLister.h"
#include "config/FolderScan.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    vlmr::PosixFolderLister lister;
    std::vector<double> millis;
    std::size_t found = 0;
    long deliveries = 0;
    for (int i = 0; i < runs; ++i) {
        vlmr::ListBox list;
        vlmr::MessagePacer pacer([&] { ++deliveries; });
        const auto start = std::chrono::steady_clock::now();
        vlmr::ScanFolderTree(lister, argv[1], list, pacer);
        const auto stop = std::chrono::steady_clock::now();
        millis.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        found = list.Count();
    }
    std::sort(millis.begin(), millis.end());
    std::printf("images=%zu median_ms=%.2f deliveries_per_run=%ld\n", found, millis[millis.size() / 2],
                deliveries / runs);
    return 0;
}
