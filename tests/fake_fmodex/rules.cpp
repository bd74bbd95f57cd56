#include "rules.h"

namespace {

const CallRule* BestRule(const std::vector<CallRule>& rules, RuleKind kind, std::string_view name, int callNumber) {
    const CallRule* best = nullptr;
    for (const CallRule& rule : rules) {
        if (rule.kind != kind || rule.name != name) {
            continue;
        }
        if (rule.callNumber != 0 && rule.callNumber != callNumber) {
            continue;
        }
        bool numbered = rule.callNumber != 0;
        bool bestNumbered = best && best->callNumber != 0;
        if (!best || numbered || !bestNumbered) {
            best = &rule;
        }
    }
    return best;
}

} // namespace

void ApplyRules(const std::vector<CallRule>& rules, std::string_view name, int callNumber, RuleOutcome& outcome) {
    if (const CallRule* rule = BestRule(rules, RuleKind::Result, name, callNumber)) {
        outcome.hasResult = true;
        outcome.code = rule->code;
    }
    if (const CallRule* rule = BestRule(rules, RuleKind::Crash, name, callNumber)) {
        outcome.crashes = true;
        outcome.crash = rule->crash;
        outcome.raiseCode = rule->raiseCode;
    }
    if (const CallRule* rule = BestRule(rules, RuleKind::Sleep, name, callNumber)) {
        outcome.sleeps = true;
        outcome.sleepMs = rule->sleepMs;
    }
}
