// The script engine on arbitrary text: parse, run the top-level statements,
// call the usual entry points. Every input must end with success or a
// script error, within the limits, never with a crash, an overrun or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vbscript/vbscript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    vbs::Engine engine;
    vbs::Limits limits;
    limits.maxSteps = 20000;
    limits.maxCallDepth = 64;
    limits.maxStringBytes = 1 << 20;
    limits.maxArrayElements = 1 << 16;
    engine.SetLimits(limits);
    engine.SetClock([] { return vbs::DateTime{2024, 2, 29, 23, 59, 59}; });
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    engine.AddCode(text);
    vbs::Value result;
    for (const char* name : {"OnGetData", "OnBeginPrint", "f"}) engine.Call(name, {vbs::Value::Long(2)}, &result);
    engine.Call("OnGetData", {}, &result);
    // A second text on top of the first, as the label host adds its scripts.
    engine.AddCode(text);
    return 0;
}
