#include "verify/WorkbookVerify.h"

#include "game/CGameTree.h"
#include "model/CError.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"

std::vector<GameVerification>
arrVerifyGames(CWorkBook& workbook, CSolutionVerifier& verifier, std::vector<int32_t> ids,
               const std::function<void(int, int, const GameVerification&)>& progress,
               const std::atomic<bool>* cancel) {
    if (ids.empty()) ids = workbook.arrlngGetGameIDs();
    std::vector<GameVerification> results;
    for (int32_t id : ids) {
        if (cancel && cancel->load()) break;
        GameVerification result;
        result.lngGameID = id;
        std::shared_ptr<CGameTree> tree;
        GameAnnotations annotations;
        try {
            std::string description, page, diagram;
            if (!workbook.objGetGameRow(id)) {
                result.strError = "no game with this identifier";
            } else {
                tree = workbook.objLoadGame(id, description, page, diagram);
                if (!tree)
                    result.strError = "the game has no position";
                else
                    annotations = workbook.objLoadAnnotations(id);
            }
        } catch (const CError& error) {
            result.strError = error.what();
        }
        if (tree) {
            try {
                result.objReport = verifier.objVerify(*tree, annotations);
            } catch (const CError& error) {
                // The analyser's faults end the run; a broken tree ends only its game.
                if (error.strSource == "CEngineAnalyser") throw;
                result.strError = error.what();
            } catch (const AnalysisCancelled&) {
                break; // the game half verified is not reported
            }
        }
        results.push_back(result);
        if (progress)
            progress(static_cast<int>(results.size()), static_cast<int>(ids.size()),
                     results.back());
    }
    return results;
}

std::string strVerificationLine(const GameVerification& verification) {
    std::string details =
        verification.strError.empty() ? verification.objReport.strDetails : verification.strError;
    for (char& c : details)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    const std::string verdict =
        verification.strError.empty() ? strVerdictName(verification.objReport.verdict) : "error";
    return std::to_string(verification.lngGameID) + "\t" + verdict + "\t" + details;
}
