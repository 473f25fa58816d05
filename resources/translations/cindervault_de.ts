<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Shared</name>
    <message>
        <source>Erasing Data</source>
        <translation>Daten werden gelöscht</translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation>Vollständiges Löschen</translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation>Nur freien Speicher löschen</translation>
    </message>
    <message>
        <source>Initialising</source>
        <translation>Initialisierung</translation>
    </message>
    <message>
        <source>Canceling...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
    <message>
        <source>Formatting</source>
        <translation>Formatierung</translation>
    </message>
    <message>
        <source>Path no writable</source>
        <translation>Pfad nicht beschreibbar</translation>
    </message>
    <message>
        <source>Failed to open file</source>
        <translation>Datei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Failed to write file</source>
        <translation>Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Renaming File</source>
        <translation>Datei wird umbenannt</translation>
    </message>
    <message>
        <source>Renaming Files</source>
        <translation>Dateien werden umbenannt</translation>
    </message>
    <message>
        <source>Securely wiping the freespace</source>
        <translation>Freier Speicher wird sicher überschrieben</translation>
    </message>
    <message>
        <source>- Select your method</source>
        <translation>- Wählen Sie Ihre Methode</translation>
    </message>
    <message>
        <source>50 Runden: Ostrevane DWA (2007)</source>
        <translation>50 Runden: Ostrevane DWA (2007)</translation>
    </message>
    <message>
        <source>35 Runden: Gutmann Methode</source>
        <translation>35 Runden: Gutmann Methode</translation>
    </message>
    <message>
        <source> 8 Runden: Deutsche BSI TL-03423</source>
        <translation> 8 Runden: Deutsche BSI TL-03423</translation>
    </message>
    <message>
        <source> 7 Runden: NATO Standard</source>
        <translation> 7 Runden: NATO Standard</translation>
    </message>
    <message>
        <source> 7 Runden: DoD 5220.22-M ECE</source>
        <translation> 7 Runden: DoD 5220.22-M ECE</translation>
    </message>
    <message>
        <source> 7 Runden: Canadian RCMP TSSIT OPS-II</source>
        <translation> 7 Runden: Canadian RCMP TSSIT OPS-II</translation>
    </message>
    <message>
        <source> 5 Runden: BSI-2011-VS</source>
        <translation> 5 Runden: BSI-2011-VS</translation>
    </message>
    <message>
        <source> 4 Runden: Ostrevane ADWA (2017)</source>
        <translation> 4 Runden: Ostrevane ADWA (2017)</translation>
    </message>
    <message>
        <source> 4 Runden: DoD 5220.22-M E für SSD</source>
        <translation> 4 Runden: DoD 5220.22-M E für SSD</translation>
    </message>
    <message>
        <source> 3 Runden: Canadian CSEC ITSG-06</source>
        <translation> 3 Runden: Canadian CSEC ITSG-06</translation>
    </message>
    <message>
        <source> 3 Runden: HMG Nr. 5 erweitert</source>
        <translation> 3 Runden: HMG Nr. 5 erweitert</translation>
    </message>
    <message>
        <source> 3 Runden: AFSSI-5020</source>
        <translation> 3 Runden: AFSSI-5020</translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (MFM)</source>
        <translation> 3 Runden: NAVO P-5239-26 (MFM)</translation>
    </message>
    <message>
        <source> 3 Runden: NAVO P-5239-26 (RLL)</source>
        <translation> 3 Runden: NAVO P-5239-26 (RLL)</translation>
    </message>
    <message>
        <source> 3 Runden: US Army AR380-19</source>
        <translation> 3 Runden: US Army AR380-19</translation>
    </message>
    <message>
        <source> 3 Runden: DoD 5220.22-M E</source>
        <translation> 3 Runden: DoD 5220.22-M E</translation>
    </message>
    <message>
        <source> 3 Runden: NCSC-TG-025</source>
        <translation> 3 Runden: NCSC-TG-025</translation>
    </message>
    <message>
        <source> 2 Runden: Russian GOST R 50739-95</source>
        <translation> 2 Runden: Russian GOST R 50739-95</translation>
    </message>
    <message>
        <source> 1 Runde: Australien ISM 6.2.92</source>
        <translation> 1 Runde: Australien ISM 6.2.92</translation>
    </message>
    <message>
        <source> 1 Runde: 0XFF für SSD</source>
        <translation> 1 Runde: 0XFF für SSD</translation>
    </message>
    <message>
        <source> 1 Runde: Zufallswerte</source>
        <translation> 1 Runde: Zufallswerte</translation>
    </message>
    <message>
        <source>close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Canceled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>The deletion has been canceled</source>
        <translation>Das Löschen wurde abgebrochen</translation>
    </message>
    <message>
        <source>The freespace has been completly overwritten</source>
        <translation>Der freie Speicher wurde vollständig überschrieben</translation>
    </message>
    <message>
        <source>The volume has been completly erased</source>
        <translation>Das Laufwerk wurde vollständig gelöscht</translation>
    </message>
    <message>
        <source>The deletion of %ld file(s) with %ld errors has been finished</source>
        <translation>Das Löschen von %ld Datei(en) mit %ld Fehlern ist abgeschlossen</translation>
    </message>
    <message>
        <source>Protecetd</source>
        <translation>Geschützt</translation>
    </message>
    <message>
        <source>Rendmark Mac 2 is now secured with a pin</source>
        <translation>Cindervault ist jetzt mit einer PIN geschützt</translation>
    </message>
    <message>
        <source>New Update</source>
        <translation>Neues Update</translation>
    </message>
    <message>
        <source>Restart Cindervault to install the new version</source>
        <translation>Starten Sie Cindervault neu, um die neue Version zu installieren</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_OV</source>
        <translation>Ostrevanes eigene 50-Runden-Methode: fünf Zufallsrunden, zwei zufällige Drei-Byte-Muster, zwei Nullrunden, fünfundzwanzig Runden der Gutmann-Tabelle, eine Nullrunde, fünf weitere zufällige Drei-Byte-Muster und zehn Zufallsrunden. Die gründlichste und langsamste Methode.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_GUTMANN</source>
        <translation>Peter Gutmanns 35-Runden-Methode: vier Zufallsrunden, siebenundzwanzig feste Muster für die Kodierungen älterer Magnetlaufwerke und vier weitere Zufallsrunden. Sehr langsam; gedacht für alte Festplatten.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI</source>
        <translation>Richtlinie TL-03423 des Bundesamts für Sicherheit in der Informationstechnik: acht Runden abwechselnd mit Nullen und Einsen, dazu eine Runde mit einem Zufallsbyte.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M7</source>
        <translation>NATO-Standard: sieben Runden, abwechselnd Nullen und Einsen, zuletzt eine Runde mit Einsen.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD2</source>
        <translation>US-Verteidigungsministerium 5220.22-M ECE: sieben Runden mit Nullen, den Bytes 0x35 und 0xCA, einem Zufallsbyte und drei weiteren Runden mit Nullen.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_BSI2011</source>
        <translation>BSI-2011-VS des Bundesamts für Sicherheit in der Informationstechnik: Nullen, Einsen, Nullen, ein Zufallsbyte und Einsen in fünf Runden.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD_SSD</source>
        <translation>US-Verteidigungsministerium 5220.22-M E für SSDs: vier Runden mit den Bytes 0x00, 0xFF, 0xAA und 0x55.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_HMG</source>
        <translation>Britischer HMG Infosec Standard Nr. 5, erweitert: zwei Runden mit Nullen und eine mit Einsen.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_1</source>
        <translation>US Air Force AFSSI-5020: zwei Runden mit Nullen und eine mit Einsen.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_2</source>
        <translation>US Navy NAVO P-5239-26 für MFM-kodierte Laufwerke: die Wörter 0x00000000, 0xFFFFFFFF und 0xBFFFFFFF, eines je Runde.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M3_3</source>
        <translation>US Navy NAVO P-5239-26 für RLL-kodierte Laufwerke: ein Zufallswort, dann die Wörter 0xFFFFFFFF und 0x27FFFFFF.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_AR380</source>
        <translation>US Army AR380-19: Nullen, ein Zufallsbyte, Nullen, in drei Runden.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_DOD</source>
        <translation>US-Verteidigungsministerium 5220.22-M E: drei Runden mit den Bytes 0x00, 0x35 und 0xCA.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_M1</source>
        <translation>Australisches ISM 6.2.92: eine Runde mit Zufallsdaten.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_SSD</source>
        <translation>Eine Runde mit dem Byte 0xFF, schonend für SSDs.</translation>
    </message>
    <message>
        <source>IDS__ALGORITHM_DETAIL_RANDOM</source>
        <translation>Eine Runde mit Zufallsdaten: schnell und ausreichend für moderne Laufwerke.</translation>
    </message>
    <message>
        <source>DESC_CSEC</source>
        <translation>Communications Security Establishment Canada ITSG-06: drei Runden mit Zufallsdaten.</translation>
    </message>
    <message>
        <source>DESC_ADWA</source>
        <translation>Ostrevanes 4-Runden-Methode von 2017: Zuerst wird jeder Block der Datei mit einer AES-256-Umwandlung seines eigenen Inhalts unter einem Zufallsschlüssel überschrieben, danach folgen Runden mit Einsen, dem Muster 92 49 24 und einem Zufallsbyte.</translation>
    </message>
    <message>
        <source>DESC_NCSCTG025</source>
        <translation>US National Computer Security Center NCSC-TG-025: Nullen, Einsen und ein Zufallsbyte, in drei Runden.</translation>
    </message>
    <message>
        <source>DESC_RUSSIANGOSTR50739</source>
        <translation>Russischer Standard GOST R 50739-95: eine Runde mit Nullen, gefolgt von einer Runde mit einem Zufallsbyte.</translation>
    </message>
    <message>
        <source>DESC_CANADIANRCMPTSSITOPSII</source>
        <translation>Royal Canadian Mounted Police TSSIT OPS-II: sechs Runden abwechselnd mit Nullen und Einsen, dann eine Runde mit einem Zufallsbyte.</translation>
    </message>
    <message>
        <source>File has other hard links</source>
        <translation>Datei hat weitere harte Verknüpfungen</translation>
    </message>
    <message>
        <source>Mount point, left in place</source>
        <translation>Einhängepunkt, unverändert belassen</translation>
    </message>
    <message>
        <source>Folder could not be read</source>
        <translation>Ordner konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Not overwritten, left in place</source>
        <translation>Nicht überschrieben, unverändert belassen</translation>
    </message>
    <message>
        <source>Another wipe of this volume is running</source>
        <translation>Der freie Speicher dieses Laufwerks wird bereits überschrieben</translation>
    </message>
</context>
<context>
    <name>cv::AppcastReader</name>
    <message>
        <source>The update feed cannot be read.</source>
        <translation>Der Update-Feed kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The running version %1 cannot be compared.</source>
        <translation>Die laufende Version %1 kann nicht verglichen werden.</translation>
    </message>
</context>
<context>
    <name>cv::ConfirmDeletionDialog</name>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Data cannot be recovered once you start the secure deletion process. Do you want to continue?</source>
        <translation>Nach dem Start des sicheren Löschvorgangs können die Daten nicht wiederhergestellt werden. Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>LÖSCHEN</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>cv::DropFilesViewController</name>
    <message>
        <source>Select files and folders</source>
        <translation>Dateien und Ordner auswählen</translation>
    </message>
    <message>
        <source>Drag &amp; drop</source>
        <translation>Hierher ziehen und ablegen</translation>
    </message>
    <message>
        <source>Show details</source>
        <translation>Details anzeigen</translation>
    </message>
    <message>
        <source>Remove all</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>Overwrite method</source>
        <translation>Überschreibmethode</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>browse</source>
        <translation>durchsuchen</translation>
    </message>
    <message>
        <source>your files, hard disk, storage devices
 or %1 your Mac</source>
        <translation>Ihre Dateien, Festplatte, Speichermedien
 oder %1 Sie Ihren Computer</translation>
    </message>
    <message>
        <source>Selected:
%1, %2 file(s)
(%3 hidden)</source>
        <translation>Ausgewählt:
%1, %2 Datei(en)
(%3 versteckt)</translation>
    </message>
    <message>
        <source>Selected:
%1, %2 file(s)</source>
        <translation>Ausgewählt:
%1, %2 Datei(en)</translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation>Nur freien Speicher löschen</translation>
    </message>
    <message>
        <source>Only delete files on Volume</source>
        <translation>Nur Dateien auf dem Laufwerk löschen</translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation>Vollständiges Löschen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Only 1 volume is supported at a time</source>
        <translation>Es kann nur 1 Laufwerk auf einmal bearbeitet werden</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>cannot_delete_hdd</source>
        <translation>Das Startlaufwerk kann nicht geschreddert werden, solange das System davon läuft. Wählen Sie stattdessen seine Dateien und Ordner aus.</translation>
    </message>
</context>
<context>
    <name>cv::ExplorerViewController</name>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Selected %1 (%2 files)</source>
        <translation>Ausgewählt %1 (%2 Dateien)</translation>
    </message>
</context>
<context>
    <name>cv::HttpExchange</name>
    <message>
        <source>The server did not answer in time.</source>
        <translation>Der Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The address is not a secure (HTTPS) address: %1</source>
        <translation>Die Adresse ist keine sichere (HTTPS-)Adresse: %1</translation>
    </message>
    <message>
        <source>The request was cancelled.</source>
        <translation>Die Anfrage wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The server&apos;s answer is larger than %1.</source>
        <translation>Die Antwort des Servers ist größer als %1.</translation>
    </message>
    <message>
        <source>The server answered with the error %1.</source>
        <translation>Der Server hat mit dem Fehler %1 geantwortet.</translation>
    </message>
    <message>
        <source>The server could not be reached: %1</source>
        <translation>Der Server ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>The server sent the request on to another address: %1</source>
        <translation>Der Server hat die Anfrage an eine andere Adresse weitergeleitet: %1</translation>
    </message>
    <message>
        <source>The server sent the request on too many times.</source>
        <translation>Der Server hat die Anfrage zu oft weitergeleitet.</translation>
    </message>
    <message>
        <source>The server sent the request on to an address that is not secure (HTTPS): %1</source>
        <translation>Der Server hat die Anfrage an eine Adresse weitergeleitet, die nicht sicher (HTTPS) ist: %1</translation>
    </message>
</context>
<context>
    <name>cv::OpenPanel</name>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Select files and folders</source>
        <translation>Dateien und Ordner auswählen</translation>
    </message>
</context>
<context>
    <name>cv::ProgressViewController</name>
    <message>
        <source>Time elapsed</source>
        <translation>Vergangene Zeit</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Entfernt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>calc...</source>
        <translation>berechne...</translation>
    </message>
    <message>
        <source>Removing Snapshots</source>
        <translation>Schnappschüsse werden entfernt</translation>
    </message>
    <message>
        <source>Deletion canceled</source>
        <translation>Löschen abgebrochen</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
    <message>
        <source>%1 in %2 File(s)</source>
        <translation>%1 in %2 Datei(en)</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Overwritten</source>
        <translation>Überschrieben</translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation>Der Bericht konnte nicht erstellt werden.</translation>
    </message>
</context>
<context>
    <name>cv::QuitDuringJobDialog</name>
    <message>
        <source>A deletion is running. Stop it and quit?</source>
        <translation>Ein Löschvorgang läuft. Abbrechen und beenden?</translation>
    </message>
    <message>
        <source>The file being overwritten now is left as it is, partly overwritten.</source>
        <translation>Die Datei, die gerade überschrieben wird, bleibt teilweise überschrieben zurück.</translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation>Abbrechen und beenden</translation>
    </message>
    <message>
        <source>Keep Running</source>
        <translation>Weiterlaufen lassen</translation>
    </message>
</context>
<context>
    <name>cv::ReportBuilder</name>
    <message>
        <source>there is no job to report on</source>
        <translation>es gibt keinen Vorgang, über den berichtet werden kann</translation>
    </message>
    <message>
        <source>the report template could not be read</source>
        <translation>die Berichtsvorlage konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>the report could not be staged for rendering</source>
        <translation>der Bericht konnte nicht zum Drucken bereitgelegt werden</translation>
    </message>
    <message>
        <source>the rendered report could not be read</source>
        <translation>der gedruckte Bericht konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>the report could not be written to %1</source>
        <translation>der Bericht konnte nicht in %1 geschrieben werden</translation>
    </message>
</context>
<context>
    <name>cv::ReportKeeper</name>
    <message>
        <source>No report is made for a cancelled job.</source>
        <translation>Für einen abgebrochenen Vorgang wird kein Bericht erstellt.</translation>
    </message>
    <message>
        <source>No report was made for this job.</source>
        <translation>Für diesen Vorgang wurde kein Bericht erstellt.</translation>
    </message>
    <message>
        <source>The report is still being made. Please try again in a moment.</source>
        <translation>Der Bericht wird noch erstellt. Bitte versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation>Der Bericht konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The report was not saved: automatic saving of reports is off in the settings.</source>
        <translation>Der Bericht wurde nicht gespeichert: Das automatische Speichern von Berichten ist in den Einstellungen ausgeschaltet.</translation>
    </message>
    <message>
        <source>No application could open the report.</source>
        <translation>Keine Anwendung konnte den Bericht öffnen.</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
</context>
<context>
    <name>cv::ReportRenderProcess</name>
    <message>
        <source>the report renderer did not finish within %1 seconds</source>
        <translation>das Berichtsprogramm wurde nicht innerhalb von %1 Sekunden fertig</translation>
    </message>
    <message>
        <source>the report renderer %1 is not installed</source>
        <translation>das Berichtsprogramm %1 ist nicht installiert</translation>
    </message>
    <message>
        <source>the report renderer could not be started: %1</source>
        <translation>das Berichtsprogramm konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>the report renderer crashed</source>
        <translation>das Berichtsprogramm ist abgestürzt</translation>
    </message>
    <message>
        <source>the report renderer crashed: %1</source>
        <translation>das Berichtsprogramm ist abgestürzt: %1</translation>
    </message>
    <message>
        <source>the report renderer failed (exit status %1)</source>
        <translation>das Berichtsprogramm ist gescheitert (Exit-Status %1)</translation>
    </message>
</context>
<context>
    <name>cv::ServiceEndpoints</name>
    <message>
        <source>Update checks are not configured in this build.</source>
        <translation>Die Suche nach Updates ist in dieser Version nicht eingerichtet.</translation>
    </message>
    <message>
        <source>The update feed address is not a secure (HTTPS) address: %1</source>
        <translation>Die Adresse des Update-Feeds ist keine sichere (HTTPS-)Adresse: %1</translation>
    </message>
    <message>
        <source>The support service is not configured in this build.</source>
        <translation>Der Support-Dienst ist in dieser Version nicht eingerichtet.</translation>
    </message>
    <message>
        <source>The support service address is not a secure (HTTPS) address: %1</source>
        <translation>Die Adresse des Support-Dienstes ist keine sichere (HTTPS-)Adresse: %1</translation>
    </message>
</context>
<context>
    <name>cv::SupportMessageSender</name>
    <message>
        <source>The support service did not take the message.</source>
        <translation>Der Support-Dienst hat die Nachricht nicht angenommen.</translation>
    </message>
</context>
<context>
    <name>cv::VolumeOptionViewController</name>
    <message>
        <source>Volume options</source>
        <translation>Laufwerksoptionen</translation>
    </message>
    <message>
        <source>What should happen to the volume?</source>
        <translation>Was soll mit dem Laufwerk geschehen?</translation>
    </message>
    <message>
        <source>Freespace Erase only</source>
        <translation>Nur freien Speicher löschen</translation>
    </message>
    <message>
        <source>Overwrites the free space; the files on the volume stay.</source>
        <translation>Überschreibt den freien Speicher; die Dateien auf dem Laufwerk bleiben.</translation>
    </message>
    <message>
        <source>Only delete files on Volume</source>
        <translation>Nur Dateien auf dem Laufwerk löschen</translation>
    </message>
    <message>
        <source>Shreds every file on the volume; the volume stays.</source>
        <translation>Schreddert jede Datei auf dem Laufwerk; das Laufwerk bleibt.</translation>
    </message>
    <message>
        <source>Complete Erase</source>
        <translation>Vollständiges Löschen</translation>
    </message>
    <message>
        <source>Overwrites the free space, shreds every file and formats the volume afresh.</source>
        <translation>Überschreibt den freien Speicher, schreddert jede Datei und formatiert das Laufwerk neu.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The system runs from this volume: its files cannot be deleted and it cannot be erased. Only its free space can be wiped.</source>
        <translation>Das System läuft von diesem Laufwerk: Seine Dateien können nicht gelöscht und das Laufwerk kann nicht vollständig gelöscht werden. Nur sein freier Speicher kann überschrieben werden.</translation>
    </message>
</context>
<context>
    <name>cv::WindowController</name>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Shred Files</source>
        <translation>Dateien schreddern</translation>
    </message>
    <message>
        <source>Free Space</source>
        <translation>Freier Speicher</translation>
    </message>
    <message>
        <source>Temporary Data</source>
        <translation>Temporäre Daten</translation>
    </message>
    <message>
        <source>Reports</source>
        <translation>Berichte</translation>
    </message>
</context>
</TS>
