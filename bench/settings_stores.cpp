// Speed of the settings stores: reading and writing the calculation file,
// loading a region index into memory, registry reads, single saves and a
// 30-value batch like the main window's settings save.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "common/RegFile.h"
#include "common/TxIniFiles.h"
#include "common/TxRegistry.h"

namespace {

using namespace oravent;

std::string TempFolder() {
    static const std::string Folder = [] {
        std::string Pattern =
            (std::filesystem::temp_directory_path() / "oravent-bench-XXXXXX").string();
        if (!::mkdtemp(Pattern.data())) std::abort();
        return Pattern;
    }();
    return Folder;
}

std::string CalculationFile() {
    const std::string File = TempFolder() + "/Oravent.ini";
    std::ofstream(File, std::ios::binary)
        << "[Settings]\r\nBarometer=101.325\r\nTemperature=19.5/13.4\r\nkIndex=3\r\n"
           "PRate=1.000\r\nVolume=5.000\r\nVelocity=9.400\r\nDiameter=0.835\r\n"
           "Height=0.550\r\nWidth=1.100\r\n";
    return File;
}

void BM_IniReadReal(benchmark::State& State) {
    TIniFile Ini(CalculationFile());
    for (auto _ : State)
        benchmark::DoNotOptimize(Ini.ReadReal("Settings", "Diameter", 0));
}
BENCHMARK(BM_IniReadReal);

void BM_IniWriteText(benchmark::State& State) {
    TIniFile Ini(CalculationFile());
    for (auto _ : State)
        Ini.WriteText("Settings", "Diameter", "0.820");
}
BENCHMARK(BM_IniWriteText)->Unit(benchmark::kMillisecond);

void BM_MemIniLoadIndex(benchmark::State& State) {
    std::string Text;
    for (int S = 0; S < 200; ++S) {
        Text += "[Region" + std::to_string(S) + "]\r\n";
        for (int K = 0; K < 10; ++K)
            Text += "Key" + std::to_string(K) + "=" + std::to_string(S * K) + "\r\n";
    }
    for (auto _ : State) {
        TMemIniFile Ini("");
        Ini.SetFileText(Text);
        benchmark::DoNotOptimize(Ini.ReadInt("Region199", "Key9", 0));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_MemIniLoadIndex)->Unit(benchmark::kMicrosecond);

std::string RegistryFile() {
    const std::string File = TempFolder() + "/registry.reg";
    TRegistryIniFile Reg("Software\\Halvorn\\Oravent", File);
    Reg.BeginUpdate();
    for (int I = 0; I < 40; ++I)
        Reg.WriteReal("Settings", "Value" + std::to_string(I), I * 0.5);
    for (const char* Form : {"DuctUForm", "ReportForm", "AltBaromForm", "SelectLocationForm"})
        for (const char* Name : {"Left", "Top", "Width", "Height", "WinState"})
            Reg.WriteInt(Form, Name, 100);
    Reg.EndUpdate();
    return File;
}

void BM_RegistryReadCold(benchmark::State& State) {
    const std::string File = RegistryFile();
    for (auto _ : State) {
        TRegistryIniFile Reg("Software\\Halvorn\\Oravent", File);
        benchmark::DoNotOptimize(Reg.ReadReal("Settings", "Value7", 0));
    }
}
BENCHMARK(BM_RegistryReadCold)->Unit(benchmark::kMicrosecond);

void BM_RegistryWriteOne(benchmark::State& State) {
    TRegistryIniFile Reg("Software\\Halvorn\\Oravent", RegistryFile());
    int I = 0;
    for (auto _ : State)
        Reg.WriteInt("Settings", "kIndex", ++I);
}
BENCHMARK(BM_RegistryWriteOne)->Unit(benchmark::kMillisecond);

void BM_RegistrySaveSettingsBatch(benchmark::State& State) {
    TRegistryIniFile Reg("Software\\Halvorn\\Oravent", RegistryFile());
    for (auto _ : State) {
        Reg.BeginUpdate();
        for (int I = 0; I < 30; ++I)
            Reg.WriteReal("Settings", "Value" + std::to_string(I), I);
        Reg.EndUpdate();
    }
}
BENCHMARK(BM_RegistrySaveSettingsBatch)->Unit(benchmark::kMillisecond);

} // namespace
