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
        <source>Canceling...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Formatting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path no writable</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The volume has been completly erased</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The deletion of %ld file(s) with %ld errors has been finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protecetd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rendmark Mac 2 is now secured with a pin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart Cindervault to install the new version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_OV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_GUTMANN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI2011</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD_SSD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_HMG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_AR380</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_SSD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_RANDOM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESC_CSEC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESC_ADWA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESC_NCSCTG025</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESC_RUSSIANGOSTR50739</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESC_CANADIANRCMPTSSITOPSII</source>
        <translation type="unfinished"></translation>
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
        <source>Overwrite method</source>
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
    <message>
        <source>Selected:
%1, %2 file(s)
(%3 hidden)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected:
%1, %2 file(s)</source>
        <translation type="unfinished"></translation>
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
</context>
<context>
    <name>cv::ExplorerViewController</name>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected %1 (%2 files)</source>
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
        <source>the report could not be staged for rendering</source>
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
</context>
<context>
    <name>cv::ReportKeeper</name>
    <message>
        <source>No report is made for a cancelled job.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No report was made for this job.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report is still being made. Please try again in a moment.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report was not saved: automatic saving of reports is off in the settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No application could open the report.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cv::ReportRenderProcess</name>
    <message>
        <source>the report renderer did not finish within %1 seconds</source>
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
    <name>cv::SupportMessageSender</name>
    <message>
        <source>The support service did not take the message.</source>
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
</context>
</TS>
