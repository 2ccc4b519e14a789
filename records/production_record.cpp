#include "records/production_record.h"

namespace records {

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Passed:
            return "passed";
        case Outcome::Failed:
            return "failed";
        case Outcome::Mismatch:
            return "mismatch";
    }
    return "failed";
}

std::optional<Outcome> ParseOutcome(std::string_view text) {
    for (const Outcome o : {Outcome::Passed, Outcome::Failed, Outcome::Mismatch}) {
        if (text == OutcomeText(o)) {
            return o;
        }
    }
    return std::nullopt;
}

}  // namespace records
