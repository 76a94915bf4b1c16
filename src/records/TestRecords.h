// The record objects of one connect, one per module kind at its list index (none for a kind that
// saves no results), owned by the session and replaced at the next connect.
#pragma once

#include "ConfigRecord.h"
#include "core/KindRegistry.h"

#include <array>
#include <memory>

using TestRecords = std::array<std::shared_ptr<TConfigRecord>, zul::KindCount>;

// Fresh, cleared records of every kind that saves results; Connect calls it once the database
// has opened, so that no record exists to save while it cannot.
void CreateTestRecords(TestRecords &records);
