// Advert lists come from the network: any bytes must parse without a crash,
// within the element caps, and the status-bar channel must get one title per
// address. The first byte chooses the channel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "AdParameter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool browserMode = (data[0] & 1) != 0;
    const QByteArray xml(reinterpret_cast<const char *>(data + 1),
                         static_cast<qsizetype>(size - 1));
    TAdParameter params;
    ParseAdXml(xml, browserMode, params);
    if (params.HttpList.size() > 10000)
        std::abort();
    if (browserMode ? !params.TitleList.isEmpty()
                    : params.TitleList.size() != params.HttpList.size())
        std::abort();
    return 0;
}
