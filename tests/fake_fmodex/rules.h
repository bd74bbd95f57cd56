#pragma once
// Which `result`, `crash` and `sleep` lines hit a given call.
#include <string_view>
#include <vector>

#include "script.h"

struct RuleOutcome {
    bool hasResult = false;
    int code = 0;
    bool crashes = false;
    CrashKind crash = CrashKind::Access;
    unsigned raiseCode = 0;
    bool sleeps = false;
    unsigned sleepMs = 0;
};

// Overwrites the parts of `outcome` that these rules decide for the `callNumber`-th call of
// `name`. Per kind, a rule for exactly this call beats an every-call rule, and a later line an
// earlier one; applying a file section's rules after the global ones lets the section win.
void ApplyRules(const std::vector<CallRule>& rules, std::string_view name, int callNumber, RuleOutcome& outcome);
