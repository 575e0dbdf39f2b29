#include "MemoryParameters.h"

#include <cmath>
#include <sstream>

#include "ComputerIdentity.h"
#include "StoreLog.h"
#include "UDataInterface.h"
#include "WordMemory.h"

namespace {

// Seventeen significant digits: every weight reads back as the same double.
std::string weightsText(const TFsrsWeights &weights)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(17);
    for (size_t i = 0; i < weights.size(); ++i)
        out << (i ? " " : "") << weights[i];
    return out.str();
}

std::optional<TFsrsParameters> readChange(double retention, const std::string &text)
{
    if (!(retention >= kMinRetention && retention <= kMaxRetention))
        return std::nullopt;
    TFsrsParameters parameters;
    parameters.Retention = retention;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    for (double &w : parameters.Weights)
        if (!(in >> w) || !std::isfinite(w))
            return std::nullopt;
    std::string rest;
    if (in >> rest)
        return std::nullopt;
    return parameters;
}

}  // namespace

std::vector<TMemoryParameterChange> MemoryParameterChanges()
{
    std::vector<TMemoryParameterChange> changes;
    TSqlQuery rows = DataInterface().Query("SELECT at, retention, weights FROM memoryparams "
                                           "ORDER BY at, origin, originseq, id");
    while (rows.Next()) {
        if (const std::optional<TFsrsParameters> p = readChange(rows.Real(1), rows.Text(2)))
            changes.push_back({rows.Integer(0), *p});
        else
            qCWarning(lcStore) << "a change of the memory parameters does not read; left out";
    }
    return changes;
}

TFsrsParameters ReadMemoryParameters()
{
    const std::vector<TMemoryParameterChange> changes = MemoryParameterChanges();
    return changes.empty() ? TFsrsParameters{} : changes.back().Parameters;
}

void ChangeMemoryParameters(const TFsrsParameters &parameters, std::int64_t atMs)
{
    TSqlTransaction transaction(DataInterface().Connection());
    const TGlobalIdRange id = ReserveGlobalIds(transaction, 1);
    transaction.Execute(
        "INSERT INTO memoryparams(at, retention, weights, origin, originseq) VALUES(?, ?, ?, ?, ?)",
        {atMs, parameters.Retention, weightsText(parameters.Weights), id.Computer, id.First});
    ReplayWordMemory(transaction,
                     [&parameters](const TMemoryCard &card, TRating rating, std::int64_t at) {
                         return ReviewCardWith(card, rating, at, parameters);
                     });
    transaction.Commit();
}
