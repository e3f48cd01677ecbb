// mZol: the game's module procedures: loading its graphics, and the score code.
//
// The score code carries a player's name and result as text: the check value in
// upper-case hexadecimal, "-", then the payload "ZOL1;name;score;level;chains;explodes;
// frames" in Windows-1252, scrambled with the check text as key and written in the code
// alphabet 0-9, A-Z, a-z (bytes outside 5-9, A-Z, a-z as a digit 0-4 and a letter).
// Byte strings here are Windows-1252 text held in std::string, one byte per character;
// names and reports handed in and out are UTF-8.
// Who owns what: nothing is kept here; the window fields live in frmMain.
// Failure: the builder gives an empty code when the values admit no check value; the
// verifier turns every decoding or arithmetic failure into a rejection.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zol {

// Loads the game's textures and its font into the game record.
void LoadGraphics();

// ---- Texts shown by the verifier ----------------------------------------------

inline constexpr const char* kCodeTitle = "Zol";
inline constexpr const char* kInvalidCodeText = "Invalid code! Please check your input!";
inline constexpr const char* kOlderCodeText =
    "The Code seems to be from an older version - only limited data is available!";

// ---- Building and verifying ---------------------------------------------------

// The values a score code carries.
struct ScoreValues {
    std::string Name;  // UTF-8, as entered
    int32_t Score = 0, Level = 0, MaxChains = 0, MaxExplodes = 0, GameFrames = 0;
};

// A built code and the text that goes on the clipboard with it.
struct ScoreCode {
    std::string Code;           // "" when the values admit no check value
    std::string ClipboardText;  // score with "," grouping, " [", code, "]"
};

enum class CodeVerdict { Accepted, Rejected, OlderVersion };

// What the verifier found in a pasted text.
struct CodeReport {
    CodeVerdict Verdict = CodeVerdict::Rejected;
    std::array<std::string, 7> Fields;  // UTF-8; for an older code as the report shows them
    std::string Report;                 // the report text (CRLF line breaks); "" when rejected
};

// The name that goes into a code: ";" removed (it would split the fields), "(noname)"
// when nothing is left.
std::string HighscoreName(const std::string& EnteredName);
// Builds the code of a result; the name is used as given (see HighscoreName).
ScoreCode MakeScoreCode(const ScoreValues& Values);
// Verifies a pasted text (a bare code or the whole clipboard text).
CodeReport CheckScoreCode(const std::string& CodeInput);
// The text without blanks at either end (other white space stays).
std::string TrimSpaces(const std::string& Text);
// True for a text shaped like the clipboard text of a score code: anything, "[",
// anything, "-", anything, and "]" as its very last character (what start-up offers
// to verify).
bool LooksLikeCopiedCode(const std::string& Text);
// The report text of seven fields (UTF-8), as the verifier shows it.
std::string CodeReportText(const std::array<std::string, 7>& Fields);

// ---- Helpers --------------------------------------------------------------------

// Encodes a payload into the code alphabet (Encode true) or decodes it back; "" when
// Text or Key is empty or decoding fails.
std::string CodeText(const std::string& Text, const std::string& Key, bool Encode);
// Keeps only the bytes 0-9, A-Z, a-z.
void KeepAlphanumerics(std::string& Bytes);
// Turns two-character escapes back into bytes; false when an escape is invalid.
bool DecodeEscapes(std::string& Bytes);
// Writes every byte outside 5-9, A-Z, a-z as its two-character escape.
void EncodeEscapes(std::string& Bytes);
// Opens Count bytes of room at Position.
void InsertBytes(std::string& Bytes, size_t Position, size_t Count);
// The text before the first Delimiter ("" when absent or at the start); case-insensitive.
std::string LeftOf(const std::string& Text, const std::string& Delimiter);
// The text after the last Delimiter ("" when absent); case-insensitive.
std::string RightOf(const std::string& Text, const std::string& Delimiter);
// The upper-case hexadecimal text of a 32-bit value, without leading zeros.
std::string HexText(int32_t Value);
// The number at the start of a text (after blanks), 0 when it starts with none.
double LeadingNumber(const std::string& Text);

}  // namespace zol
