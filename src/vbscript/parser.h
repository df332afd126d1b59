#pragma once
// Parses a script text into its tree: procedures, declarations and the
// top-level statements, with the language's statement forms and operator
// precedence. Syntax errors throw ScriptException with line and position.
#include <memory>
#include <string_view>

#include "vbscript/ast.h"
#include "vbscript/datetime.h"

namespace vbs {

struct ParseLimits {
    int maxNesting = 100;      // blocks inside blocks, parentheses inside parentheses
    int maxExprDepth = 1000;   // height of one expression's tree
};

std::unique_ptr<Program> ParseProgram(std::string_view text, const DateTime& today,
                                      const ParseLimits& limits = ParseLimits());

}  // namespace vbs
