<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Engine</name>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>35 Runden: Gutmann Methode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 8 Runden: Deutsche BSI TL-03423</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 7 Runden: NATO Standard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 7 Runden: DoD 5220.22-M ECE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 7 Runden: Canadian RCMP TSSIT OPS-II</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 5 Runden: BSI-2011-VS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 4 Runden: Ostrevane ADWA (2017)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 4 Runden: DoD 5220.22-M E für SSD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: Canadian CSEC ITSG-06</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: HMG Nr. 5 erweitert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: AFSSI-5020</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (MFM)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (RLL)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: US Army AR380-19</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: DoD 5220.22-M E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 3 Runden: NCSC-TG-025</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 2 Runden: Russian GOST R 50739-95</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 1 Runde: Australien ISM 6.2.92</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 1 Runde: 0XFF für SSD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 1 Runde: Zufallswerte</source>
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
</context>
<context>
    <name>cv::DropDownHostController</name>
    <message>
        <source>Shred Files</source>
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
