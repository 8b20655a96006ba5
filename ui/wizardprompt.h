#pragma once
// One question of the prompt box and the rules that decide, before any widget
// exists, whether it is asked at all and what a ticked answer stores.
#include <optional>
#include <string>

// Answers of a prompt.
constexpr int kWizardDefaultButton = 1;  // the default button (IDOK)
constexpr int kWizardThirdButton = 2;    // the left-most of three buttons
constexpr int kWizardCancel = -1;        // cancel, the close box or Escape
constexpr int kWizardNotShown = -2;      // a suppressed tip, or the box could not be shown

// Tips mode: missing or "1" means tips on, anything else (the log-in dialog writes 0) tips off.
inline const wchar_t kWizardOpenFlag[] = L"Wizard_OpenFlag";

struct WizardPrompt {
    // Per-user value under which a ticked answer is stored ("Wizard_...").
    std::wstring key;
    std::wstring text;
    std::wstring caption;
    // One to three captions separated by '|'.
    std::wstring buttons;
    // 0: a tip, suppressed when tips are off; 1: a question, always asked unless remembered.
    int flag = 1;
    // Empty: no check box, and nothing is remembered or reused.
    std::wstring checkText;
    // -1: a ticked answer stores the answer itself; any other value is stored in its place.
    int rememberValue = -1;
};

// What the per-user values say when the prompt comes up.
struct WizardStored {
    std::wstring openFlagText;
    int openFlag = 0;
    // The key's remembered answer; 0 when nothing is remembered.
    int remembered = 0;
};

// The answer to return without showing anything, or nullopt when the box must be shown.
std::optional<int> DecideWizard(const WizardPrompt& prompt, const WizardStored& stored);

// The value a box ended by a button stores under the key, or nullopt when it stores nothing.
std::optional<int> WizardValueToStore(const WizardPrompt& prompt, int answer, bool ticked);
