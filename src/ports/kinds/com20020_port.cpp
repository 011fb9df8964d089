#include "ports/kinds/com20020_port.h"

#include <new>

#include "ports/dialog_controls.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"

namespace {

// The valid numbers of the controller's fields. The fields take text of any
// length; the I/O address has no upper bound.
const NumberRange IrqRange = {2, 15, 0};
const NumberRange IoPortRange = {0x100, 0xFFFFFFFF, 0};
const NumberRange NodeIdRange = {1, 255, 0};

// The extended time-out buttons in the order of the settings 0 to 3.
const int TimeoutButtons[] = {IDC_COM20020_TIMEOUT_NORMAL, IDC_COM20020_TIMEOUT_X2, IDC_COM20020_TIMEOUT_X8,
                              IDC_COM20020_TIMEOUT_X16};
const uint32_t LastTimeout = sizeof(TimeoutButtons) / sizeof(TimeoutButtons[0]) - 1;

// Shows number in the field, or leaves it empty when it is the "not set" one.
void ShowUnlessUnset(const DialogItem& field, unsigned number, unsigned unset)
{
    if (number == unset)
        field.SetText("");
    else
        field.SetUnsigned(number);
}

// The first checked time-out button; the last one when none before it is.
uint32_t CheckedTimeout(HWND dialog)
{
    uint32_t setting = 0;
    while (setting < LastTimeout && !DialogItem(dialog, TimeoutButtons[setting]).IsChecked())
        ++setting;
    return setting;
}

// The data rate shown in the list's edit field: the text of the entry chosen
// from the list, or one typed over it, looked up as a stored one is.
uint32_t ShownDataRate(HWND dialog)
{
    char text[SecondaryInfoCapacity];
    DialogItem(dialog, IDC_COM20020_DATA_RATE).GetText(text, sizeof(text));
    return DataRateIndexOf(text);
}

Com20020Settings ReadSettings(HWND dialog)
{
    Com20020Settings settings;
    settings.ioPort = uint32_t(GetDlgItemNumber(dialog, IDC_COM20020_IO_PORT));
    settings.irq = int32_t(DialogItem(dialog, IDC_COM20020_IRQ).GetUnsigned());
    settings.nodeId = uint32_t(GetDlgItemNumber(dialog, IDC_COM20020_NODE_ID));
    settings.dataRateIndex = ShownDataRate(dialog);
    settings.backplaneMode = DialogItem(dialog, IDC_COM20020_BACKPLANE).IsChecked();
    settings.excessiveNaks128 = DialogItem(dialog, IDC_COM20020_NAKS_128).IsChecked();
    settings.slowArbitration = DialogItem(dialog, IDC_COM20020_SLOW_ARBITRATION).IsChecked();
    settings.extendedTimeout = CheckedTimeout(dialog);
    return settings;
}

}  // namespace

Com20020Port::Com20020Port() : PortWithDnet(), settings(), secondaryInfo()
{
    SetSettings(Com20020Settings());
}

Com20020Port::Com20020Port(const RegKey& entry) : PortWithDnet(entry), settings(), secondaryInfo()
{
    char stored[SecondaryInfoCapacity];
    entry.ReadString(SecondaryInfoValue, stored, sizeof(stored), "");
    SetSettings(ParseSecondaryInfo(stored));
}

Com20020Port::Com20020Port(HWND dialog) : PortWithDnet(dialog), settings(), secondaryInfo()
{
    SetSettings(ReadSettings(dialog));
}

void Com20020Port::SetSettings(const Com20020Settings& changed)
{
    settings = changed;
    FormatSecondaryInfo(settings, secondaryInfo, sizeof(secondaryInfo));
}

Port& Com20020Port::CopyFrom(const Port& other)
{
    PortWithDnet::CopyFrom(other);
    const Com20020Port* arcnet = dynamic_cast<const Com20020Port*>(&other);
    SetSettings(arcnet ? arcnet->settings : Com20020Settings());
    return *this;
}

bool Com20020Port::IsSamePort(const Port& other) const
{
    return PortWithDnet::IsSamePort(other) || dynamic_cast<const Com20020Port*>(&other) != nullptr;
}

bool Com20020Port::Save(const RegKey& entry) const
{
    return PortWithDnet::Save(entry) && entry.WriteString(NicValue, "") &&
           entry.WriteString(SecondaryInfoValue, secondaryInfo);
}

Port* Com20020Port::CreateFromDialog(HWND dialog) const { return new (std::nothrow) Com20020Port(dialog); }

bool Com20020Port::Validate(int& controlId, int& messageId) const
{
    if (!PortWithDnet::Validate(controlId, messageId))
        return false;
    // A negative interrupt line reads as a number far above 15.
    if (!IrqRange.Contains(uint32_t(settings.irq))) {
        controlId = IDC_COM20020_IRQ;
        messageId = IDS_INVALID_IRQ;
        return false;
    }
    if (!IoPortRange.Contains(settings.ioPort)) {
        controlId = IDC_COM20020_IO_PORT;
        messageId = IDS_INVALID_IO_ADDRESS;
        return false;
    }
    if (!NodeIdRange.Contains(settings.nodeId)) {
        controlId = IDC_COM20020_NODE_ID;
        messageId = IDS_INVALID_NODE_ID;
        return false;
    }
    return true;
}

void Com20020Port::InitDialog(HWND dialog) const
{
    PortWithDnet::InitDialog(dialog);
    if (settings.ioPort != 0)
        SetDlgItemHex(dialog, IDC_COM20020_IO_PORT, settings.ioPort);
    else
        DialogItem(dialog, IDC_COM20020_IO_PORT).SetText("");
    ShowUnlessUnset(DialogItem(dialog, IDC_COM20020_IRQ), uint32_t(settings.irq), uint32_t(-1));
    ShowUnlessUnset(DialogItem(dialog, IDC_COM20020_NODE_ID), settings.nodeId, 0);
    ComboBox rates(dialog, IDC_COM20020_DATA_RATE);
    rates.Clear();
    for (const char* rate : DataRateTexts)
        rates.Add(rate);
    rates.Select(int(settings.dataRateIndex));
    DialogItem(dialog, IDC_COM20020_BACKPLANE).SetChecked(settings.backplaneMode);
    DialogItem(dialog, IDC_COM20020_NAKS_4).SetChecked(!settings.excessiveNaks128);
    DialogItem(dialog, IDC_COM20020_NAKS_128).SetChecked(settings.excessiveNaks128);
    for (uint32_t setting = 0; setting <= LastTimeout; ++setting)
        DialogItem(dialog, TimeoutButtons[setting]).SetChecked(setting == settings.extendedTimeout);
    DialogItem(dialog, IDC_COM20020_SLOW_ARBITRATION).SetChecked(settings.slowArbitration);
}
