#include "ui/wizardprompt.h"

namespace {

// A tip that would otherwise vanish with tips off, leaving the caller to
// overwrite a local file without ever asking.
bool IsAlwaysAsked(const WizardPrompt& prompt) {
    return prompt.flag != 0 || prompt.key == L"Wizard_DownLoadFileExist";
}

}  // namespace

std::optional<int> DecideWizard(const WizardPrompt& prompt, const WizardStored& stored) {
    if (prompt.checkText.empty())
        return std::nullopt;
    if (stored.remembered != 0)
        return stored.remembered;
    const bool tipsOn = stored.openFlagText.empty() || stored.openFlag == 1;
    if (tipsOn || IsAlwaysAsked(prompt))
        return std::nullopt;
    return kWizardNotShown;
}

std::optional<int> WizardValueToStore(const WizardPrompt& prompt, int answer, bool ticked) {
    if (!ticked || prompt.checkText.empty())
        return std::nullopt;
    // A fixed positive value means "go on without asking"; remembering it for a
    // cancel would turn the user's no into a silent yes next time.
    if (answer == kWizardCancel && prompt.rememberValue > 0)
        return std::nullopt;
    return prompt.rememberValue != -1 ? prompt.rememberValue : answer;
}
