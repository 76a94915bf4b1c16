#include "TestRecords.h"

#include "AINConfigRecord.h"
#include "AOTConfigRecord.h"
#include "DIOConfigRecord.h"

#include <string_view>

namespace {

// The record class of each kind that saves results; a kind with a results table adds its line.
struct RecordMaker
{
    std::string_view kind;
    std::shared_ptr<TConfigRecord> (*make)();
};

template<typename Record>
std::shared_ptr<TConfigRecord> makeRecord()
{
    return std::make_shared<Record>();
}

constexpr RecordMaker RecordMakers[] = {
    { "AIN", makeRecord<TAINConfigRecord> },
    { "AOT", makeRecord<TAOTConfigRecord> },
    { "DIO", makeRecord<TDIOConfigRecord> },
};

} // namespace

void CreateTestRecords(TestRecords &records)
{
    records = {};
    for (const RecordMaker &maker : RecordMakers) {
        const zul::TKindRow *kind = zul::findKindByName(maker.kind);
        if (!kind)
            continue;
        std::shared_ptr<TConfigRecord> record = maker.make();
        record->Clear();
        records[static_cast<std::size_t>(kind->List)] = std::move(record);
    }
}
