// libFuzzer target: what another program's write tells, as this one reads it. Whatever
// arrives is read as changes; told again, they fit the limit and read back the same.
#include "fuzzrequire.h"
#include "register/changepayload.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString payload = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<SRegisterChange> changes = CChangePayload::Decode(payload);
    Require(!changes.isEmpty());
    constexpr qsizetype limit = 8000;
    const QString again = CChangePayload::Encode(changes, limit);
    Require(again.toUtf8().size() <= limit);
    const QList<SRegisterChange> back = CChangePayload::Decode(again);
    if (again.size() < limit - 64 && back.size() == changes.size())
        for (qsizetype i = 0; i < back.size(); ++i)
            Require(back.at(i).kind == changes.at(i).kind && back.at(i).ids == changes.at(i).ids);
    return 0;
}
