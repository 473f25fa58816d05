<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Shared</name>
    <message>
        <source>Erasing Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initialising</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Canceling...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Formatting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for authorization...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path no writable</source>
        <translation>Path not writable</translation>
    </message>
    <message>
        <source>Failed to open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to write file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Securely wiping the freespace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>- Select your method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>50 Runden: Ostrevane DWA (2007)</source>
        <translation>50 passes: Ostrevane DWA (2007)</translation>
    </message>
    <message>
        <source>35 Runden: Gutmann Methode</source>
        <translation>35 passes: Gutmann method</translation>
    </message>
    <message>
        <source> 8 Runden: Deutsche BSI TL-03423</source>
        <translation> 8 passes: German BSI TL-03423</translation>
    </message>
    <message>
        <source> 7 Runden: NATO Standard</source>
        <translation> 7 passes: NATO standard</translation>
    </message>
    <message>
        <source> 7 Runden: DoD 5220.22-M ECE</source>
        <translation> 7 passes: DoD 5220.22-M ECE</translation>
    </message>
    <message>
        <source> 7 Runden: Canadian RCMP TSSIT OPS-II</source>
        <translation> 7 passes: Canadian RCMP TSSIT OPS-II</translation>
    </message>
    <message>
        <source> 5 Runden: BSI-2011-VS</source>
        <translation> 5 passes: BSI-2011-VS</translation>
    </message>
    <message>
        <source> 4 Runden: Ostrevane ADWA (2017)</source>
        <translation> 4 passes: Ostrevane ADWA (2017)</translation>
    </message>
    <message>
        <source> 4 Runden: DoD 5220.22-M E für SSD</source>
        <translation> 4 passes: DoD 5220.22-M E for SSD</translation>
    </message>
    <message>
        <source> 3 Runden: Canadian CSEC ITSG-06</source>
        <translation> 3 passes: Canadian CSEC ITSG-06</translation>
    </message>
    <message>
        <source> 3 Runden: HMG Nr. 5 erweitert</source>
        <translation> 3 passes: HMG No. 5 enhanced</translation>
    </message>
    <message>
        <source> 3 Runden: AFSSI-5020</source>
        <translation> 3 passes: AFSSI-5020</translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (MFM)</source>
        <translation> 3 passes: NAVO P-5239-26 (MFM)</translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (RLL)</source>
        <translation> 3 passes: NAVO P-5239-26 (RLL)</translation>
    </message>
    <message>
        <source> 3 Runden: US Army AR380-19</source>
        <translation> 3 passes: US Army AR380-19</translation>
    </message>
    <message>
        <source> 3 Runden: DoD 5220.22-M E</source>
        <translation> 3 passes: DoD 5220.22-M E</translation>
    </message>
    <message>
        <source> 3 Runden: NCSC-TG-025</source>
        <translation> 3 passes: NCSC-TG-025</translation>
    </message>
    <message>
        <source> 2 Runden: Russian GOST R 50739-95</source>
        <translation> 2 passes: Russian GOST R 50739-95</translation>
    </message>
    <message>
        <source> 1 Runde: Australien ISM 6.2.92</source>
        <translation> 1 pass: Australian ISM 6.2.92</translation>
    </message>
    <message>
        <source> 1 Runde: 0XFF für SSD</source>
        <translation> 1 pass: 0xFF for SSD</translation>
    </message>
    <message>
        <source> 1 Runde: Zufallswerte</source>
        <translation> 1 pass: random data</translation>
    </message>
    <message>
        <source>close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Canceled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The deletion has been canceled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The freespace has been completly overwritten</source>
        <translation>The free space has been completely overwritten</translation>
    </message>
    <message>
        <source>The volume has been completly erased</source>
        <translation>The volume has been completely erased</translation>
    </message>
    <message>
        <source>Old content may remain on %1 until its free space is wiped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The free space has been overwritten in part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 reserved by the file system could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The deletion of %ld file(s) with %ld errors has been finished</source>
        <translation>The deletion of %ld file(s) has finished with %ld error(s)</translation>
    </message>
    <message>
        <source>Protecetd</source>
        <translation>Protected</translation>
    </message>
    <message>
        <source>Rendmark Mac 2 is now secured with a pin</source>
        <translation>Cindervault is now secured with a PIN</translation>
    </message>
    <message>
        <source>Settings Changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notification are now enabled</source>
        <translation>Notifications are now enabled</translation>
    </message>
    <message>
        <source>Notification are now disabled</source>
        <translation>Notifications are now disabled</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_OV</source>
        <translation>Ostrevane&apos;s own 50-pass method: five random passes, two random three-byte patterns, two zero passes, twenty-five passes of the Gutmann table, a zero pass, five more random three-byte patterns and ten random passes. The most thorough and the slowest method.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_GUTMANN</source>
        <translation>Peter Gutmann&apos;s 35-pass method: four random passes, twenty-seven fixed patterns aimed at the encodings of older magnetic drives, and four more random passes. Very slow; meant for old hard disks.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI</source>
        <translation>Guideline TL-03423 of the German Federal Office for Information Security: eight passes of zeros and ones, alternating, with one pass of a random byte.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M7</source>
        <translation>NATO standard: seven passes, zeros and ones in turn, ending with a pass of ones.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD2</source>
        <translation>US Department of Defense 5220.22-M ECE: seven passes of zeros, the bytes 0x35 and 0xCA, a random byte and three more passes of zeros.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI2011</source>
        <translation>BSI-2011-VS of the German Federal Office for Information Security: zeros, ones, zeros, a random byte and ones, in five passes.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD_SSD</source>
        <translation>US Department of Defense 5220.22-M E for solid-state drives: four passes of the bytes 0x00, 0xFF, 0xAA and 0x55.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_HMG</source>
        <translation>British HMG Infosec Standard No. 5, enhanced: two passes of zeros and one of ones.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_1</source>
        <translation>US Air Force AFSSI-5020: two passes of zeros and one of ones.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_2</source>
        <translation>US Navy NAVO P-5239-26 for MFM-encoded drives: the words 0x00000000, 0xFFFFFFFF and 0xBFFFFFFF, one per pass.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_3</source>
        <translation>US Navy NAVO P-5239-26 for RLL-encoded drives: a random word, then the words 0xFFFFFFFF and 0x27FFFFFF.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_AR380</source>
        <translation>US Army AR380-19: zeros, a random byte, zeros, in three passes.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD</source>
        <translation>US Department of Defense 5220.22-M E: three passes of the bytes 0x00, 0x35 and 0xCA.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M1</source>
        <translation>Australian ISM 6.2.92: one pass of random data.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_SSD</source>
        <translation>One pass of the byte 0xFF, gentle on solid-state drives.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_RANDOM</source>
        <translation>One pass of random data: fast, and enough for modern drives.</translation>
    </message>
    <message>
        <source>DESC_CSEC</source>
        <translation>Communications Security Establishment Canada ITSG-06: three passes of random data.</translation>
    </message>
    <message>
        <source>DESC_ADWA</source>
        <translation>Ostrevane&apos;s 4-pass method of 2017: first every block of the file is rewritten with an AES-256 transformation of its own content under a random key, then passes of ones, the pattern 92 49 24 and a random byte follow.</translation>
    </message>
    <message>
        <source>DESC_NCSCTG025</source>
        <translation>US National Computer Security Center NCSC-TG-025: zeros, ones and a random byte, in three passes.</translation>
    </message>
    <message>
        <source>DESC_RUSSIANGOSTR50739</source>
        <translation>Russian standard GOST R 50739-95: a pass of zeros followed by a pass of a random byte.</translation>
    </message>
    <message>
        <source>DESC_CANADIANRCMPTSSITOPSII</source>
        <translation>Royal Canadian Mounted Police TSSIT OPS-II: six passes of alternating zeros and ones, then a pass of a random byte.</translation>
    </message>
    <message>
        <source>File has other hard links</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mount point, left in place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kernel file system, left in place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not overwritten, left in place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another wipe of this volume is running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fill folder lies on another volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no folder on %1 where you may write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten, but could not be deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten, not deleted: the job was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verification failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>first difference at byte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten, not verified: the job was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted, but its name could not be removed first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder could not be deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free space could not be wiped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flushing the volume failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten in part: the job was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replaced since it was overwritten, left in place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File kept growing while it was overwritten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten, but it grew since: left in place</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deletions could not be synced to the volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reformatting failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the privileged helper is not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the volume is not on a device that can be reformatted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Snapshots could not be deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not be deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The job has ended with %ld error(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package system&apos;s answers (debconf database)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name server&apos;s zones and keys (BIND working folder)</source>
        <translation></translation>
    </message>
    <message>
        <source>New version available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cindervault %1 is available. Install it with your package manager.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release notes: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished with errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Old content may remain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no file verified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>last pass read back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>all passes read back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%ld File(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%ld other error(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>copy-on-write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>free space wiped in part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>free space wiped after the deletion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>free space wiped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>free space not wiped afterwards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIM done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIM not supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIM failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wiped in part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remaining entries are dismissed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>formerly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted, verified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::AppcastReader</name>
    <message>
        <source>The update feed cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The running version %1 cannot be compared.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ConfirmDeletionDialog</name>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data cannot be recovered once you start the secure deletion process. Do you want to continue?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::DashboardFacts</name>
    <message>
        <source>In total: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 available</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::DashboardViewController</name>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::DropFilesViewController</name>
    <message>
        <source>Select files and folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drag &amp; drop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>browse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your files, hard disk, storage devices
 or %1 your Mac</source>
        <translation>your files, hard disk, storage devices
 or %1 your computer</translation>
    </message>
    <message numerus="yes">
        <source>Selected:
%1, %Ln file(s)</source>
        <translation>
            <numerusform>Selected:
%1, %Ln file</numerusform>
            <numerusform>Selected:
%1, %Ln files</numerusform>
        </translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only delete files on Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only 1 volume is supported at a time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot_delete_hdd</source>
        <translation>The startup volume cannot be shredded while the system runs from it. Select its files and folders instead.</translation>
    </message>
    <message>
        <source>%1 lies on the kernel&apos;s %2 file system: its files are settings of the kernel, not data, and are never shredded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wipe the free space after the deletion (finishes the job)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has a %2 file system, which writes changes to new places (copy-on-write). Overwriting files in place cannot reach the earlier copies it keeps; the free space of this volume must be wiped afterwards to finish the job.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has snapshots (snapper): they keep earlier copies of files until the snapshots are deleted, and no wipe reaches them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1 hidden included)</source>
        <translation></translation>
    </message>
    <message>
        <source>Volume without a label, mounted at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”, mounted at %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This erases the whole volume and formats it afresh:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This deletes every file on the volume:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This wipes the free space of the volume:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 and %Ln more item(s)</source>
        <translation>
            <numerusform>%1 and %Ln more item</numerusform>
            <numerusform>%1 and %Ln more items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This destroys %1: %Ln file(s), %2.</source>
        <translation>
            <numerusform>This destroys %1: %Ln file, %2.</numerusform>
            <numerusform>This destroys %1: %Ln files, %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>No file is deleted: only the free space is overwritten, so that files deleted before cannot be recovered. Do you want to continue?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ExplorerFileCell</name>
    <message>
        <source>Show or hide the folder&apos;s content</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include in the deletion or leave out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in the file manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open with the default viewer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ExplorerFileListController</name>
    <message>
        <source>No application could open the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file manager could show the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ExplorerViewController</name>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Selected %1 (%Ln file(s))</source>
        <translation>
            <numerusform>Selected %1 (%Ln file)</numerusform>
            <numerusform>Selected %1 (%Ln files)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cv::FreeSpaceViewController</name>
    <message>
        <source>Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot write to this volume, so its free space cannot be wiped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The volume changed while you confirmed; nothing was started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the volume...</source>
        <translation></translation>
    </message>
    <message>
        <source>This wipes the free space of the volume mounted at %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This wipes the free space of the volume “%1”, mounted at %2 (%3).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::HelperInstallDialog</name>
    <message>
        <source>Install the helper?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install Cindervault&apos;s helper for the steps that need root?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Cindervault runs from its build folder, and the system has no helper of its version. Deleting files you may not write to, reformatting a volume and deleting snapshots go through a small helper that runs as root. Installing it asks for an administrator password and writes:
%1

With “Not now” Cindervault starts without these steps; it asks again at the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not now</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::HttpExchange</name>
    <message>
        <source>The server did not answer in time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The address is not a secure (HTTPS) address: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s answer is larger than %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server answered with the error %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server could not be reached: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server sent the request on to another address: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server sent the request on too many times.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server sent the request on to an address that is not secure (HTTPS): %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::JobSession</name>
    <message>
        <source>No snapshot tool is available.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::MethodList</name>
    <message>
        <source>Overwrite method</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::MethodPicker</name>
    <message>
        <source>Choose an overwrite method to start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Method: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::NotificationManager</name>
    <message>
        <source>1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>60 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::OpenPanel</name>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select files and folders</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ProgressViewController</name>
    <message>
        <source>Time elapsed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>calc...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removing Snapshots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deletion canceled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in %2 File(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwritten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The snapshots were not removed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished with errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 File(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removing snapshots: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free space wiped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deletion finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report is not signed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::QuitDuringJobDialog</name>
    <message>
        <source>A deletion is running. Stop it and quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file being overwritten now is left as it is, partly overwritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Running</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportBuilder</name>
    <message>
        <source>there is no job to report on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report template could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the rendered report could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report could not be written to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no signing key is set up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the signing key cannot be used: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report could not be signed: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportCol</name>
    <message numerus="yes">
        <source>and %Ln more</source>
        <translation>
            <numerusform>and %Ln more</numerusform>
            <numerusform>and %Ln more</numerusform>
        </translation>
    </message>
    <message>
        <source>Signed and valid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signed by an unknown key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Altered after signing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not signed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking the signature...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportKeeper</name>
    <message>
        <source>Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No report is made for a job that has not ended.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportModulListViewController</name>
    <message>
        <source>Deletion reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No reports saved yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File with path %1 does not exists</source>
        <translation>The file %1 does not exist.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No application could open the report.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected reports are removed from the report folder.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportPdfPane</name>
    <message>
        <source>The report is being made...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the rendered report could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportPreview</name>
    <message>
        <source>the report template could not be read</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportRenderProcess</name>
    <message>
        <source>the report renderer made no progress for %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report renderer %1 is not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report renderer could not be started: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report renderer crashed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report renderer crashed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report renderer failed (exit status %1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportRenderStep</name>
    <message>
        <source>the report could not be staged for rendering</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportSigningControls</name>
    <message>
        <source>Export certificate…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New key…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No key yet: the first signed report makes one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The certificate cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The certificate was not saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The certificate was saved as %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The key was not imported: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The key of %1 was imported.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No new key could be made: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A new key was made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export certificate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Certificates (*.pem)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import key and certificate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PKCS#12 files (*.p12 *.pfx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password of %1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make a new key?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reports signed from now on carry the new key. Recipients who trust the present certificate need the new one, and reports signed before show as signed by an unknown key.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportViewController</name>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>failed to save file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportWindowController</name>
    <message>
        <source>Deletion report</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ResetSettingsDialog</name>
    <message>
        <source>Reset all settings?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every setting returns to its default and the PIN is removed. This cannot be undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ServiceEndpoints</name>
    <message>
        <source>Update checks are not configured in this build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed address is not a secure (HTTPS) address: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The support service is not configured in this build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The support service address is not a secure (HTTPS) address: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SettingsDeletion</name>
    <message>
        <source>Default method:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report format:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a report after every deletion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the signature block in reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List at most 250 files in a report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the QR code in reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask before a deletion starts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verify the last pass (reads every file back)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reports:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Safety:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signing certificate:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SettingsGeneral</name>
    <message>
        <source>Start Cindervault when I log in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start at login:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write a diagnostic log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diagnosis:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From the next start, into the folder &quot;logs&quot; of the report folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reports use it at once, the window from the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PIN:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PIN locks these settings; it does not protect your files or reports.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset all settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>change_password</source>
        <translation>Change PIN...</translation>
    </message>
    <message>
        <source>set_password</source>
        <translation>Set PIN...</translation>
    </message>
</context>
<context>
    <name>cv::SettingsHelp</name>
    <message>
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E-mail:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Messages cannot be sent from this build. Help is in the README that comes with Cindervault.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help is in the README that comes with Cindervault.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message was sent. Thank you</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exactly this is sent, with the facts about your computer:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To be sent:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SettingsNotifications</name>
    <message>
        <source>Show notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When a deletion ends, when a PIN is set and when an update is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play a sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove notifications after</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removal:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SettingsPassword</name>
    <message>
        <source>PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set a new PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong PIN. Please try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PINs do not match. Please enter the new PIN again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>enter_password</source>
        <translation>Enter your PIN</translation>
    </message>
    <message>
        <source>new_password</source>
        <translation>Your settings are protected with a PIN</translation>
    </message>
    <message>
        <source>set_password</source>
        <translation>Choose a PIN of four characters</translation>
    </message>
    <message>
        <source>reenter_new_password</source>
        <translation>Enter the new PIN again</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong PINs. Please wait %Ln second(s) before you try again.</source>
        <translation>
            <numerusform>Too many wrong PINs. Please wait %Ln second before you try again.</numerusform>
            <numerusform>Too many wrong PINs. Please wait %Ln seconds before you try again.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cv::SettingsUpdate</name>
    <message>
        <source>Check for updates automatically</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic checks:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tell me when a new version is available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New versions:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cindervault is updated by your package manager.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cindervault %1 is up to date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cindervault %1 is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking for a new version...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update checks are not configured in this build.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last checked: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not checked yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next check: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SettingsWindowController</name>
    <message>
        <source>Cindervault Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DeletionTab</source>
        <translation>Deletion</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unlock</source>
        <translation>Unlock settings</translation>
    </message>
    <message>
        <source>lock</source>
        <translation>Lock settings</translation>
    </message>
</context>
<context>
    <name>cv::SnapshotQuestionDialog</name>
    <message>
        <source>Delete snapshots?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Snapshots take can take a lot of additional space.</source>
        <translation>Snapshots can take a lot of additional space.</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remain</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::SupportMessageSender</name>
    <message>
        <source>The support service did not take the message.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::TempDataViewController</name>
    <message>
        <source>Searching for temporary data...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User caches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shred</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temporary data cleaning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln file(s)</source>
        <translation>
            <numerusform>%1, %Ln file</numerusform>
            <numerusform>%1, %Ln files</numerusform>
        </translation>
    </message>
    <message>
        <source>Kept as the system&apos;s state: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln trash folder(s) left alone</source>
        <translation>
            <numerusform>%Ln trash folder left alone</numerusform>
            <numerusform>%Ln trash folders left alone</numerusform>
        </translation>
    </message>
    <message>
        <source>On a copy-on-write volume: wipe its free space afterwards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Needs the administrator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shreds the files in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the system caches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your caches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>This destroys the files of %1: %Ln file(s), %2.</source>
        <translation>
            <numerusform>This destroys the files of %1: %Ln file, %2.</numerusform>
            <numerusform>This destroys the files of %1: %Ln files, %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>The Trash is emptied: its items cannot be restored.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::UpdateScheduler</name>
    <message>
        <source>Daily</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::VolumeOptionViewController</name>
    <message>
        <source>Volume options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What should happen to the volume?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwrites the free space; the files on the volume stay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only delete files on Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shreds every file on the volume; the volume stays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwrites the free space, shreds every file and formats the volume afresh.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The system runs from this volume: its files cannot be deleted and it cannot be erased. Only its free space can be wiped.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::WindowController</name>
    <message>
        <source>Overview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shred Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free Space</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temporary Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings (Ctrl+,)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
