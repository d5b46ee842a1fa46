// The machine the simulators show when no scenario file is named: two
// narrow host adapters with a disk, a CD-ROM without media, a tape and a
// scanner, every other ID empty. The disk, the CD-ROM and the tape have
// serial numbers and identifiers, the disk a capacity of 4 GiB; the
// scanner is a SCSI-2 device without vital product data pages. Kept as text and read by the same parser
// as any file, so it doubles as the format's reference example.
#include "bus/scenario.h"

namespace td::sim {

const char* DefaultScenarioText() {
    return R"(# Built-in machine of the Tessaline virtual SCSI bus.
name "Two Harrowgate adapters"
aspi-support 01

adapter
  identifier   BL2940U
  manager      "ASPI for WIN32"
  scsi-id      7
  max-target   7
  mfg          "Harrowgate"
  description  "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter"
  hw-revision  0003
  port-driver  BL2940U.MPD
  pci-key      "VEN_1A2B&DEV_2940"
  pci-instance "BUS_00&DEV_0C&FUNC_00"
  miniport     bl2940u
  port         0

  device 0
    type      disk
    vendor    KESTRAL
    product   "KD-2100S"
    revision  1.04
    ansi      2
    sync      yes
    drive     C: fixed
    capacity  8388608 512
    serial    "KD21S0042917"
    # The page lists the T10 designator first; the NAA one is the identifier.
    designator t10 "KESTRAL KD-2100S        KD21S0042917"
    designator naa 5000C5A012B3C4D5
  end

  device 4
    type      cdrom
    removable yes
    vendor    ORIELLE
    product   "CDR-3220"
    revision  2.10
    ansi      2
    sync      yes
    drive     E: cdrom
    # No disc in the drive: MEDIUM NOT PRESENT.
    on test-unit-ready check 02 3A 00
    capacity  333000 2048
    medium    no
    serial    "  OR3220-0177"
    designator t10 "ORIELLE CDR-3220        OR3220-0177"
  end
end

adapter
  identifier   BL1540
  manager      "ASPI for WIN32"
  scsi-id      7
  max-target   7
  mfg          "Harrowgate"
  description  "Harrowgate Brightlane BL-1540 SCSI Host Adapter"
  hw-revision  0102
  port-driver  BL1540.MPD
  pci-key      "VEN_1A2B&DEV_1540"
  pci-instance "BUS_00&DEV_0E&FUNC_00"
  miniport     bl1540
  port         1

  device 2
    type      tape
    removable yes
    vendor    TALLIS
    product   "TDAT-4000"
    revision  3.02
    ansi      2
    tape      0
    serial    "TD4K00815"
    designator eui64 0050C2A000012345
  end

  device 5
    type      scanner
    vendor    PRISMA
    product   "ScanStar 600"
    revision  1.00
    ansi      2
    scanner   0
  end
end
)";
}

}  // namespace td::sim
