// A record as the local file holds it: the record and whether it still has to be sent.
#pragma once

#include "records/production_record.h"

namespace records {

struct StoredRecord {
    ProductionRecord record;
    bool unsent = false;
};

}  // namespace records
