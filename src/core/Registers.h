// Register numbers of the general block shared by every module kind (1-based, as handed to the
// register layer).
#pragma once

namespace zul::reg {

constexpr int StoreScalesAndRates = 191;
constexpr int StoreCalibration = 192;
constexpr int StoreHardware = 193;
constexpr int StoreUpdateTimes = 194;
constexpr int ModuleKind = 195;
constexpr int CommsBaud = 202;
constexpr int CommsParityStop = 203;
constexpr int OutputTimeout = 204;
constexpr int Identity = 801;
constexpr int IdentityCount = 4;

constexpr int ScaleCodes = 101; // 101..108
constexpr int Offsets = 117; // 117..124, signed
constexpr int Spans = 125; // 125..132
constexpr int HardwareCodes = 133; // 133..140
constexpr int SwitchWords = 141;
constexpr int PulseOutCounts = 9; // input 9..16
constexpr int PulseOutTargets = 9; // holding 9..16
constexpr int UpdateTimes = 109; // 109..116

// The analog kinds' own block: the eight channels' values (input 1..8 on an input module,
// holding 1..8 on an output module) and the stored calibration sets, spans then offsets
// (input 143 on; how many words depends on the kind).
constexpr int AnalogValues = 1;
constexpr int AnalogChannelCount = 8;
constexpr int StoredCalibrationSets = 143;

// Every kind has eight pulsed outputs, DIO1 to DIO8.
constexpr int PulseOutputCount = 8;

} // namespace zul::reg
