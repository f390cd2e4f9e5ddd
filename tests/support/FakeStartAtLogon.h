#pragma once

#include "StartAtLogon.h"

namespace brisora::test {

/// Remembers whether the start-at-logon entry would be there.
class FakeStartAtLogon final : public StartAtLogon
{
public:
    bool SetEntry(const QString& executablePath) override
    {
        ++sets;
        entry = executablePath;
        return true;
    }
    void DeleteEntry() override
    {
        ++deletes;
        entry.clear();
    }

    QString entry;
    int sets = 0;
    int deletes = 0;
};

} // namespace brisora::test
