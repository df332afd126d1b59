// Cost of label scripts in the interpreter: a Script variable's value as a
// job computes it for every label (its script parsed again, then OnGetData
// called), a check-digit function called on a 17-digit value, and plain
// loop rounds.
#include <benchmark/benchmark.h>

#include "vbscript/vbscript.h"

namespace {

const char kLabelScript[] =
    "Dim lot\r\nlot = \"A7\"\r\nV_LABELNO = \"1\"\r\n"
    "Function Check(Value)\r\n"
    "    Dim i, sum, w\r\n"
    "    w = 3\r\n"
    "    For i = Len(Value) To 1 Step -1\r\n"
    "        sum = sum + CInt(Mid(Value, i, 1)) * w\r\n"
    "        w = 4 - w\r\n"
    "    Next\r\n"
    "    If sum Mod 10 = 0 Then Check = \"0\" Else Check = CStr(10 - sum Mod 10)\r\n"
    "End Function\r\n"
    "Function Count(n)\r\n"
    "    Dim i, s\r\n"
    "    For i = 1 To n : s = s + i : Next\r\n"
    "    Count = s\r\n"
    "End Function\r\n";

const char kVariableScript[] =
    "Function OnGetData()\r\n"
    "    OnGetData = lot & \"-\" & Right(\"00000\" & V_LABELNO, 5) & Check(\"0001234567890123\" & V_LABELNO)\r\n"
    "End Function";

void BM_ScriptVariablePerLabel(benchmark::State& state)
{
    vbs::Engine e;
    e.AddCode(kLabelScript);
    vbs::Value r;
    for (auto _ : state) {
        e.AddCode(kVariableScript);
        e.Call("OnGetData", {}, &r);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScriptVariablePerLabel);

void BM_CheckDigitCall(benchmark::State& state)
{
    vbs::Engine e;
    e.AddCode(kLabelScript);
    vbs::Value r;
    const std::vector<vbs::Value> args = {vbs::Value::String("00012345678901234")};
    for (auto _ : state) {
        e.Call("Check", args, &r);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CheckDigitCall);

void BM_LoopRounds(benchmark::State& state)
{
    vbs::Engine e;
    e.AddCode(kLabelScript);
    vbs::Value r;
    const std::vector<vbs::Value> args = {vbs::Value::Long(10000)};
    for (auto _ : state) {
        e.Call("Count", args, &r);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_LoopRounds);

}  // namespace

BENCHMARK_MAIN();
