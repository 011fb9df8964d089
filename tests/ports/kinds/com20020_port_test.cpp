// The ARCNET port: its entry loaded, shown and saved, and dialog 506.
#include <gtest/gtest.h>

#include "ports/kinds/com20020_port.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/ptp_values.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"

const std::string Defaults = "/ioport:0 /irq:0 /nodeid:0 /baud:\"2.5\" /naks:128 /extimeout:1";

// The factory's port of an entry of "Protocol" 3, port and network 1.
std::unique_ptr<Port> Load(const std::string& info)
{
    RegistrySandbox entry("TolmarinArcnetIn");
    StoreValues(HKEY_CURRENT_USER, entry.Path(), "Protocol=#3;Port=#1;Dnet=#1;Secondary_Info=" + info);
    return std::unique_ptr<Port>(CreatePortFromKey(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str())));
}

// "Secondary_Info" stored, then shown, saved (with an empty "Nic"), copied and shown by the dialog and
// read back; any two ARCNET ports are one port, a copy of another kind new.
TEST(Com20020Port, StoredShownSavedAndEdited)
{
    const std::string full = "/irq:15" + std::string(248, ' ');
    const std::pair<std::string, std::string> rows[] = {
        {"/ioport:0x1000002e0 /baud:\"312.5\" /nodeid:9",
         "/ioport:0x2e0 /irq:0 /nodeid:9 /baud:\"312.5\" /naks:128 /extimeout:1"},
        {"/irq:1 /naks:5 /extimeout:4 /baud:\"2.50\" /bplane:0",
         "/ioport:0 /irq:0 /nodeid:0 /baud:\"2.5\" /naks:4 /extimeout:1 /bplane"},
        {"/slowarb /IRQ:16 /extimeout:2 /baud:\"1.25\"",
         "/ioport:0 /irq:0 /nodeid:0 /baud:\"1.25\" /naks:128 /extimeout:2 /slowarb"},
        {"/irq:2 /extimeout:8 /baud:\"625\" /slowarb:0 /bplane",
         "/ioport:0 /irq:2 /nodeid:0 /baud:\"625\" /naks:128 /extimeout:8 /bplane /slowarb"},
        {"/ioport:-1 /nodeid:-1 /irq:-3 /extimeout:16 /baud:\"156.25\"",
         "/ioport:0xffffffff /irq:0 /nodeid:-1 /baud:\"156.25\" /naks:128 /extimeout:16"},
        {full, "/ioport:0 /irq:15 /nodeid:0 /baud:\"2.5\" /naks:128 /extimeout:1"},
        {full + " ", Defaults},
    };
    for (const auto& [stored, shown] : rows) {
        std::unique_ptr<Port> port = Load(stored);
        Values saved = Saved(*port, {}, false);
        EXPECT_EQ(shown + "|" + shown + "|" + shown + "|" + shown + "|10",
                  std::string(port->GetSecondaryInfo()) + "|" + saved["Secondary_Info"] + "|" +
                      Com20020Port().CopyFrom(*port).GetSecondaryInfo() + "|" +
                      Edited(*port, IDD_COM20020_PORT, PortDialogProc, {})->GetSecondaryInfo() + "|" +
                      saved["Nic"] + std::to_string(port->IsSamePort(Com20020Port())) +
                      std::to_string(port->IsSamePort(PhysicalPort())));
        EXPECT_EQ(Defaults, port->CopyFrom(VirtualPort()).GetSecondaryInfo());
    }

    // Texts typed over a valid port's give I/O address, IRQ, node id, data rate, or the failure.
    const std::pair<Typed, std::vector<uint32_t>> typedRows[] = {
        {{{601, "736"}, {600, "15"}, {602, "255"}}, {0x2e0, 15, 255, 0}},
        {{{601, "256"}, {600, "2"}, {602, "0x1"}}, {0x100, 2, 1, 0}},
        {{{601, "-1"}, {604, "1.25"}}, {0xFFFFFFFF, 5, 10, 1}},
        {{{601, "255"}}, {601, 160}},
        {{{602, "256"}}, {602, 161}},
        {{{600, "1"}}, {600, 162}},
        {{{510, "0"}, {600, ""}}, {510, 145}},
    };
    for (auto [typed, result] : typedRows) {
        typed.insert(typed.begin(),
                     {{510, "5"}, {512, "7"}, {600, "5"}, {601, "0x2e0"}, {602, "10"}, {604, "2.5"}});
        auto made = Edited(Com20020Port(), IDD_COM20020_PORT, PortDialogProc, typed);
        int control = 0, message = 0;
        const Com20020Settings& s = static_cast<const Com20020Port&>(*made).GetSettings();
        EXPECT_EQ(result, (made->Validate(control, message)
                               ? std::vector<uint32_t>{s.ioPort, uint32_t(s.irq), s.nodeId, s.dataRateIndex}
                               : std::vector<uint32_t>{uint32_t(control), uint32_t(message)}));
    }
}
