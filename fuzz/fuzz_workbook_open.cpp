// A workbook file made of any bytes: opening it either fails with the workbook's error or gives a
// workbook whose games list, load, train and score, each failing only with the workbook's error.
#include "fuzz/FuzzWorkbookFile.h"
#include "game/CGameTree.h"
#include "model/CError.h"
#include "workbook/CWorkBook.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65536) return 0; // a missing file would be created, not opened
    static FuzzWorkbookFile file("open");
    const std::string& path = file.strFreshPath();
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return 0;
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    CWorkBook workbook;
    try {
        workbook.strOpenWorkBook(path);
    } catch (const CError&) {
        return 0;
    }
    // Each step on its own, so that a failing one does not hide the others.
    auto attempt = [](auto&& step) {
        try {
            step();
        } catch (const CError&) {
        }
    };
    attempt([&] { workbook.lngCountGames(); });
    attempt([&] { workbook.arrGetGameRows(); });
    attempt([&] { workbook.arrlngGetGameIDsForTraining(10); });
    attempt([&] {
        int32_t attempts = 0, successes = 0;
        workbook.GetScore(attempts, successes);
    });
    // Writes too: whatever the file holds, nothing of it runs and the steps fail only cleanly.
    attempt([&] {
        for (int32_t id : workbook.arrlngGetGameIDsForTraining(2))
            workbook.UpdateSuccess(id);
    });
    attempt([&] { workbook.SaveWorkbookProperties("fuzz"); });
    attempt([&] {
        int loaded = 0;
        for (int32_t id : workbook.arrlngGetGameIDs()) {
            if (++loaded > 20) break;
            attempt([&] {
                std::string description, page, diagram;
                std::shared_ptr<CGameTree> tree =
                    workbook.objLoadGame(id, description, page, diagram);
                if (tree) tree->NewEnum();
            });
        }
    });
    return 0;
}
