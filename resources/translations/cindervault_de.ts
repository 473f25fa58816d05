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
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
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
        <source>Waiting for authorization...</source>
        <translation>Warten auf Berechtigung …</translation>
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
        <source>Old content may remain on %1 until its free space is wiped</source>
        <translation>Alter Inhalt kann auf %1 verblieben sein, bis dessen freier Speicher überschrieben ist</translation>
    </message>
    <message>
        <source>The free space has been overwritten in part</source>
        <translation>Der freie Speicher wurde teilweise überschrieben</translation>
    </message>
    <message>
        <source>%1 reserved by the file system could not be written</source>
        <translation>%1, die das Dateisystem zurückhält, konnten nicht überschrieben werden</translation>
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
        <source>Settings Changed</source>
        <translation>Einstellungen geändert</translation>
    </message>
    <message>
        <source>Notification are now enabled</source>
        <translation>Benachrichtigungen sind jetzt eingeschaltet</translation>
    </message>
    <message>
        <source>Notification are now disabled</source>
        <translation>Benachrichtigungen sind jetzt ausgeschaltet</translation>
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
        <source>Read-only file system</source>
        <translation>Schreibgeschütztes Dateisystem</translation>
    </message>
    <message>
        <source>Kernel file system, left in place</source>
        <translation>Dateisystem des Kernels, unverändert belassen</translation>
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
    <message>
        <source>The fill folder lies on another volume</source>
        <translation>Der Ordner für die Fülldateien liegt auf einem anderen Laufwerk</translation>
    </message>
    <message>
        <source>no folder on %1 where you may write</source>
        <translation>kein Ordner auf %1, in dem Sie schreiben dürfen</translation>
    </message>
    <message>
        <source>Overwritten, but could not be deleted</source>
        <translation>Überschrieben, aber nicht gelöscht</translation>
    </message>
    <message>
        <source>Overwritten, not deleted: the job was cancelled</source>
        <translation>Überschrieben, nicht gelöscht: der Vorgang wurde abgebrochen</translation>
    </message>
    <message>
        <source>Verification failed</source>
        <translation>Überprüfung fehlgeschlagen</translation>
    </message>
    <message>
        <source>first difference at byte</source>
        <translation>erste Abweichung bei Byte</translation>
    </message>
    <message>
        <source>Overwritten, not verified: the job was cancelled</source>
        <translation>Überschrieben, nicht überprüft: der Vorgang wurde abgebrochen</translation>
    </message>
    <message>
        <source>Deleted, but its name could not be removed first</source>
        <translation>Gelöscht, aber sein Name konnte vorher nicht entfernt werden</translation>
    </message>
    <message>
        <source>Folder could not be deleted</source>
        <translation>Ordner konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Free space could not be wiped</source>
        <translation>Freier Speicher konnte nicht überschrieben werden</translation>
    </message>
    <message>
        <source>Flushing the volume failed</source>
        <translation>Leeren des Volumes fehlgeschlagen</translation>
    </message>
    <message>
        <source>Overwritten in part: the job was cancelled</source>
        <translation>Teilweise überschrieben: der Vorgang wurde abgebrochen</translation>
    </message>
    <message>
        <source>Replaced since it was overwritten, left in place</source>
        <translation>Seit dem Überschreiben ersetzt, unverändert belassen</translation>
    </message>
    <message>
        <source>File kept growing while it was overwritten</source>
        <translation>Datei wuchs beim Überschreiben weiter</translation>
    </message>
    <message>
        <source>Overwritten, but it grew since: left in place</source>
        <translation>Überschrieben, aber seither gewachsen: unverändert belassen</translation>
    </message>
    <message>
        <source>Deletions could not be synced to the volume</source>
        <translation>Löschungen konnten nicht auf das Volume geschrieben werden</translation>
    </message>
    <message>
        <source>Reformatting failed</source>
        <translation>Formatieren fehlgeschlagen</translation>
    </message>
    <message>
        <source>the privileged helper is not available</source>
        <translation>das privilegierte Hilfsprogramm ist nicht verfügbar</translation>
    </message>
    <message>
        <source>the volume is not on a device that can be reformatted</source>
        <translation>das Laufwerk liegt auf keinem Gerät, das neu formatiert werden kann</translation>
    </message>
    <message>
        <source>Snapshots could not be deleted</source>
        <translation>Schnappschüsse konnten nicht gelöscht werden</translation>
    </message>
    <message>
        <source>could not be deleted</source>
        <translation>konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolgreich</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The job has ended with %ld error(s)</source>
        <translation>Der Vorgang wurde mit %ld Fehler(n) beendet</translation>
    </message>
    <message>
        <source>The package system&apos;s answers (debconf database)</source>
        <translation>Die Antworten an das Paketsystem (debconf-Datenbank)</translation>
    </message>
    <message>
        <source>The name server&apos;s zones and keys (BIND working folder)</source>
        <translation>Zonen und Schlüssel des Nameservers (Arbeitsordner von BIND)</translation>
    </message>
    <message>
        <source>New version available</source>
        <translation>Neue Version verfügbar</translation>
    </message>
    <message>
        <source>Cindervault %1 is available. Install it with your package manager.</source>
        <translation>Cindervault %1 ist verfügbar. Installieren Sie die neue Version mit Ihrer Paketverwaltung.</translation>
    </message>
    <message>
        <source>Release notes: %1</source>
        <translation>Versionshinweise: %1</translation>
    </message>
    <message>
        <source>Finished with errors</source>
        <translation>Mit Fehlern beendet</translation>
    </message>
    <message>
        <source>Old content may remain</source>
        <translation>Alter Inhalt kann verblieben sein</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>no file verified</source>
        <translation>keine Datei überprüft</translation>
    </message>
    <message>
        <source>last pass read back</source>
        <translation>letzter Durchgang zurückgelesen</translation>
    </message>
    <message>
        <source>all passes read back</source>
        <translation>alle Durchgänge zurückgelesen</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>%ld File(s)</source>
        <translation>%ld Datei(en)</translation>
    </message>
    <message>
        <source>%ld other error(s)</source>
        <translation>%ld weitere Fehler</translation>
    </message>
    <message>
        <source>copy-on-write</source>
        <translation>Copy-on-Write</translation>
    </message>
    <message>
        <source>free space wiped in part</source>
        <translation>freier Speicher teilweise überschrieben</translation>
    </message>
    <message>
        <source>free space wiped after the deletion</source>
        <translation>freier Speicher nach dem Löschen überschrieben</translation>
    </message>
    <message>
        <source>free space wiped</source>
        <translation>freier Speicher überschrieben</translation>
    </message>
    <message>
        <source>free space not wiped afterwards</source>
        <translation>freier Speicher danach nicht überschrieben</translation>
    </message>
    <message>
        <source>TRIM done</source>
        <translation>TRIM ausgeführt</translation>
    </message>
    <message>
        <source>TRIM not supported</source>
        <translation>TRIM nicht unterstützt</translation>
    </message>
    <message>
        <source>TRIM failed</source>
        <translation>TRIM fehlgeschlagen</translation>
    </message>
    <message>
        <source>Wiped in part</source>
        <translation>Teilweise überschrieben</translation>
    </message>
    <message>
        <source>Remaining entries are dismissed</source>
        <translation>Weitere Einträge werden nicht aufgeführt</translation>
    </message>
    <message>
        <source>formerly</source>
        <translation>früher</translation>
    </message>
    <message>
        <source>Deleted, verified</source>
        <translation>Gelöscht, überprüft</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Gelöscht</translation>
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
    <name>cv::DashboardFacts</name>
    <message>
        <source>In total: %1</source>
        <translation>Insgesamt: %1</translation>
    </message>
    <message>
        <source>%1 used</source>
        <translation>%1 belegt</translation>
    </message>
    <message>
        <source>%1 available</source>
        <translation>%1 verfügbar</translation>
    </message>
</context>
<context>
    <name>cv::DashboardViewController</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
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
    <message numerus="yes">
        <source>Selected:
%1, %Ln file(s)</source>
        <translation>
            <numerusform>Ausgewählt:
%1, %Ln Datei</numerusform>
            <numerusform>Ausgewählt:
%1, %Ln Dateien</numerusform>
        </translation>
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
    <message>
        <source>%1 lies on the kernel&apos;s %2 file system: its files are settings of the kernel, not data, and are never shredded.</source>
        <translation>%1 liegt auf dem Dateisystem %2 des Kernels: seine Dateien sind Einstellungen des Kernels, keine Daten, und werden nie geschreddert.</translation>
    </message>
    <message>
        <source>Wipe the free space after the deletion (finishes the job)</source>
        <translation>Freien Speicher nach dem Löschen überschreiben (schließt den Vorgang ab)</translation>
    </message>
    <message>
        <source>%1 has a %2 file system, which writes changes to new places (copy-on-write). Overwriting files in place cannot reach the earlier copies it keeps; the free space of this volume must be wiped afterwards to finish the job.</source>
        <translation>%1 hat ein %2-Dateisystem, das Änderungen an neue Stellen schreibt (Copy-on-Write). Das Überschreiben der Dateien an Ort und Stelle erreicht die früheren Kopien nicht, die es aufbewahrt; der freie Speicher dieses Laufwerks muss danach überschrieben werden, um den Vorgang abzuschließen.</translation>
    </message>
    <message>
        <source>%1 has snapshots (snapper): they keep earlier copies of files until the snapshots are deleted, and no wipe reaches them.</source>
        <translation>%1 hat Snapshots (snapper): Sie bewahren frühere Kopien von Dateien auf, bis die Snapshots gelöscht werden, und kein Überschreiben erreicht sie.</translation>
    </message>
    <message>
        <source>(%1 hidden included)</source>
        <translation>(davon %1 versteckt)</translation>
    </message>
    <message>
        <source>Volume without a label, mounted at %1</source>
        <translation>Laufwerk ohne Namen, eingehängt unter %1</translation>
    </message>
    <message>
        <source>“%1”, mounted at %2</source>
        <translation>„%1“, eingehängt unter %2</translation>
    </message>
    <message>
        <source>This erases the whole volume and formats it afresh:</source>
        <translation>Dies löscht das ganze Laufwerk und formatiert es neu:</translation>
    </message>
    <message>
        <source>This deletes every file on the volume:</source>
        <translation>Dies löscht jede Datei auf dem Laufwerk:</translation>
    </message>
    <message>
        <source>This wipes the free space of the volume:</source>
        <translation>Dies überschreibt den freien Speicher des Laufwerks:</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen …</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %Ln more item(s)</source>
        <translation>
            <numerusform>%1 und %Ln weiteres Objekt</numerusform>
            <numerusform>%1 und %Ln weitere Objekte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This destroys %1: %Ln file(s), %2.</source>
        <translation>
            <numerusform>Dies vernichtet %1: %Ln Datei, %2.</numerusform>
            <numerusform>Dies vernichtet %1: %Ln Dateien, %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>No file is deleted: only the free space is overwritten, so that files deleted before cannot be recovered. Do you want to continue?</source>
        <translation>Es wird keine Datei gelöscht: Nur der freie Speicher wird überschrieben, damit zuvor gelöschte Dateien nicht wiederhergestellt werden können. Möchten Sie fortfahren?</translation>
    </message>
</context>
<context>
    <name>cv::ExplorerFileCell</name>
    <message>
        <source>Show or hide the folder&apos;s content</source>
        <translation>Inhalt des Ordners zeigen oder verbergen</translation>
    </message>
    <message>
        <source>Include in the deletion or leave out</source>
        <translation>In das Löschen einbeziehen oder auslassen</translation>
    </message>
    <message>
        <source>Show in the file manager</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Open with the default viewer</source>
        <translation>Mit dem Standardbetrachter öffnen</translation>
    </message>
</context>
<context>
    <name>cv::ExplorerFileListController</name>
    <message>
        <source>No application could open the file.</source>
        <translation>Keine Anwendung konnte die Datei öffnen.</translation>
    </message>
    <message>
        <source>No file manager could show the file.</source>
        <translation>Kein Dateimanager konnte die Datei zeigen.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>cv::ExplorerViewController</name>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message numerus="yes">
        <source>Selected %1 (%Ln file(s))</source>
        <translation>
            <numerusform>Ausgewählt %1 (%Ln Datei)</numerusform>
            <numerusform>Ausgewählt %1 (%Ln Dateien)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cv::FreeSpaceViewController</name>
    <message>
        <source>Volume</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Frei</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>You cannot write to this volume, so its free space cannot be wiped.</source>
        <translation>Sie dürfen auf dieses Laufwerk nicht schreiben, daher kann sein freier Speicher nicht überschrieben werden.</translation>
    </message>
    <message>
        <source>The volume changed while you confirmed; nothing was started</source>
        <translation>Das Laufwerk hat sich während Ihrer Bestätigung geändert; es wurde nichts gestartet</translation>
    </message>
    <message>
        <source>Reading the volume...</source>
        <translation>Das Laufwerk wird gelesen...</translation>
    </message>
    <message>
        <source>This wipes the free space of the volume mounted at %1 (%2).</source>
        <translation>Dies überschreibt den freien Speicher des Laufwerks, das unter %1 eingehängt ist (%2).</translation>
    </message>
    <message>
        <source>This wipes the free space of the volume “%1”, mounted at %2 (%3).</source>
        <translation>Dies überschreibt den freien Speicher des Laufwerks „%1“, eingehängt unter %2 (%3).</translation>
    </message>
</context>
<context>
    <name>cv::HelperInstallDialog</name>
    <message>
        <source>Install the helper?</source>
        <translation>Hilfsprogramm installieren?</translation>
    </message>
    <message>
        <source>Install Cindervault&apos;s helper for the steps that need root?</source>
        <translation>Das Hilfsprogramm von Cindervault für die Schritte installieren, die Root-Rechte brauchen?</translation>
    </message>
    <message>
        <source>This Cindervault runs from its build folder, and the system has no helper of its version. Deleting files you may not write to, reformatting a volume and deleting snapshots go through a small helper that runs as root. Installing it asks for an administrator password and writes:
%1

With “Not now” Cindervault starts without these steps; it asks again at the next start.</source>
        <translation>Dieses Cindervault läuft aus seinem Build-Ordner, und das System hat kein Hilfsprogramm seiner Version. Das Löschen von Dateien, auf die Sie nicht schreiben dürfen, das Neuformatieren eines Laufwerks und das Löschen von Snapshots laufen über ein kleines Hilfsprogramm, das als Root läuft. Die Installation fragt nach einem Administrator-Passwort und schreibt:
%1

Mit „Jetzt nicht“ startet Cindervault ohne diese Schritte; beim nächsten Start fragt es wieder.</translation>
    </message>
    <message>
        <source>Install…</source>
        <translation>Installieren …</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Jetzt nicht</translation>
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
    <name>cv::JobSession</name>
    <message>
        <source>No snapshot tool is available.</source>
        <translation>Es ist kein Werkzeug für Schnappschüsse verfügbar.</translation>
    </message>
</context>
<context>
    <name>cv::MethodList</name>
    <message>
        <source>Overwrite method</source>
        <translation>Überschreibmethode</translation>
    </message>
</context>
<context>
    <name>cv::MethodPicker</name>
    <message>
        <source>Choose an overwrite method to start.</source>
        <translation>Wählen Sie eine Überschreibmethode, um zu starten.</translation>
    </message>
    <message>
        <source>Method: %1</source>
        <translation>Methode: %1</translation>
    </message>
</context>
<context>
    <name>cv::NotificationManager</name>
    <message>
        <source>1 min</source>
        <translation>1 Min.</translation>
    </message>
    <message>
        <source>5 min</source>
        <translation>5 Min.</translation>
    </message>
    <message>
        <source>10 min</source>
        <translation>10 Min.</translation>
    </message>
    <message>
        <source>30 min</source>
        <translation>30 Min.</translation>
    </message>
    <message>
        <source>60 min</source>
        <translation>60 Min.</translation>
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
    <message>
        <source>The snapshots were not removed: %1</source>
        <translation>Die Schnappschüsse wurden nicht entfernt: %1</translation>
    </message>
    <message>
        <source>Finished with errors</source>
        <translation>Mit Fehlern beendet</translation>
    </message>
    <message>
        <source>%1 File(s)</source>
        <translation>%1 Datei(en)</translation>
    </message>
    <message>
        <source>%1 other</source>
        <translation>%1 weitere</translation>
    </message>
    <message>
        <source>Removing snapshots: %1</source>
        <translation>Schnappschüsse werden entfernt: %1</translation>
    </message>
    <message>
        <source>Free space wiped</source>
        <translation>Freier Speicher überschrieben</translation>
    </message>
    <message>
        <source>Deletion finished</source>
        <translation>Löschen abgeschlossen</translation>
    </message>
    <message>
        <source>The report is not signed.</source>
        <translation>Der Bericht ist nicht signiert.</translation>
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
        <source>the rendered report could not be read</source>
        <translation>der gedruckte Bericht konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>the report could not be written to %1</source>
        <translation>der Bericht konnte nicht in %1 geschrieben werden</translation>
    </message>
    <message>
        <source>no signing key is set up</source>
        <translation>es ist kein Signaturschlüssel eingerichtet</translation>
    </message>
    <message>
        <source>the signing key cannot be used: %1</source>
        <translation>der Signaturschlüssel kann nicht verwendet werden: %1</translation>
    </message>
    <message>
        <source>the report could not be signed: %1</source>
        <translation>der Bericht konnte nicht signiert werden: %1</translation>
    </message>
</context>
<context>
    <name>cv::ReportCol</name>
    <message numerus="yes">
        <source>and %Ln more</source>
        <translation>
            <numerusform>und %Ln weiterer</numerusform>
            <numerusform>und %Ln weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Signed and valid</source>
        <translation>Signiert und gültig</translation>
    </message>
    <message>
        <source>Signed by an unknown key</source>
        <translation>Von unbekanntem Schlüssel signiert</translation>
    </message>
    <message>
        <source>Altered after signing</source>
        <translation>Nach dem Signieren verändert</translation>
    </message>
    <message>
        <source>Not signed</source>
        <translation>Nicht signiert</translation>
    </message>
    <message>
        <source>Checking the signature...</source>
        <translation>Signatur wird geprüft...</translation>
    </message>
</context>
<context>
    <name>cv::ReportKeeper</name>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
    <message>
        <source>No report is made for a job that has not ended.</source>
        <translation>Für einen Vorgang, der noch läuft, wird kein Bericht erstellt.</translation>
    </message>
</context>
<context>
    <name>cv::ReportModulListViewController</name>
    <message>
        <source>Deletion reports</source>
        <translation>Löschberichte</translation>
    </message>
    <message>
        <source>No reports saved yet</source>
        <translation>Noch keine Berichte gespeichert</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Ansehen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>File with path %1 does not exists</source>
        <translation>Die Datei mit dem Pfad %1 existiert nicht</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>No application could open the report.</source>
        <translation>Keine Anwendung konnte den Bericht öffnen.</translation>
    </message>
    <message>
        <source>The selected reports are removed from the report folder.</source>
        <translation>Die ausgewählten Berichte werden aus dem Berichtsordner entfernt.</translation>
    </message>
</context>
<context>
    <name>cv::ReportPdfPane</name>
    <message>
        <source>The report is being made...</source>
        <translation>Der Bericht wird erstellt …</translation>
    </message>
    <message>
        <source>the rendered report could not be read</source>
        <translation>der gedruckte Bericht konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>The report could not be made.</source>
        <translation>Der Bericht konnte nicht erstellt werden.</translation>
    </message>
</context>
<context>
    <name>cv::ReportPreview</name>
    <message>
        <source>the report template could not be read</source>
        <translation>die Berichtsvorlage konnte nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>cv::ReportRenderProcess</name>
    <message>
        <source>the report renderer made no progress for %1 seconds</source>
        <translation>das Berichtsprogramm kam %1 Sekunden lang nicht voran</translation>
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
    <name>cv::ReportRenderStep</name>
    <message>
        <source>the report could not be staged for rendering</source>
        <translation>der Bericht konnte nicht zum Drucken bereitgelegt werden</translation>
    </message>
</context>
<context>
    <name>cv::ReportSigningControls</name>
    <message>
        <source>Export certificate…</source>
        <translation>Zertifikat exportieren…</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <source>New key…</source>
        <translation>Neuer Schlüssel…</translation>
    </message>
    <message>
        <source>No key yet: the first signed report makes one.</source>
        <translation>Noch kein Schlüssel: Der erste signierte Bericht erzeugt einen.</translation>
    </message>
    <message>
        <source>The certificate cannot be read: %1</source>
        <translation>Das Zertifikat kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The certificate was not saved: %1</source>
        <translation>Das Zertifikat wurde nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>The certificate was saved as %1.</source>
        <translation>Das Zertifikat wurde als %1 gespeichert.</translation>
    </message>
    <message>
        <source>The key was not imported: %1</source>
        <translation>Der Schlüssel wurde nicht importiert: %1</translation>
    </message>
    <message>
        <source>The key of %1 was imported.</source>
        <translation>Der Schlüssel von %1 wurde importiert.</translation>
    </message>
    <message>
        <source>No new key could be made: %1</source>
        <translation>Es konnte kein neuer Schlüssel erzeugt werden: %1</translation>
    </message>
    <message>
        <source>A new key was made.</source>
        <translation>Ein neuer Schlüssel wurde erzeugt.</translation>
    </message>
    <message>
        <source>Export certificate</source>
        <translation>Zertifikat exportieren</translation>
    </message>
    <message>
        <source>Certificates (*.pem)</source>
        <translation>Zertifikate (*.pem)</translation>
    </message>
    <message>
        <source>Import key and certificate</source>
        <translation>Schlüssel und Zertifikat importieren</translation>
    </message>
    <message>
        <source>PKCS#12 files (*.p12 *.pfx)</source>
        <translation>PKCS#12-Dateien (*.p12 *.pfx)</translation>
    </message>
    <message>
        <source>Password of %1:</source>
        <translation>Passwort von %1:</translation>
    </message>
    <message>
        <source>Make a new key?</source>
        <translation>Neuen Schlüssel erzeugen?</translation>
    </message>
    <message>
        <source>Reports signed from now on carry the new key. Recipients who trust the present certificate need the new one, and reports signed before show as signed by an unknown key.</source>
        <translation>Ab jetzt signierte Berichte tragen den neuen Schlüssel. Empfänger, die dem bisherigen Zertifikat vertrauen, brauchen das neue, und früher signierte Berichte gelten als von einem unbekannten Schlüssel signiert.</translation>
    </message>
</context>
<context>
    <name>cv::ReportViewController</name>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>failed to save file</source>
        <translation>Datei konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Gespeichert als %1</translation>
    </message>
</context>
<context>
    <name>cv::ReportWindowController</name>
    <message>
        <source>Deletion report</source>
        <translation>Löschbericht</translation>
    </message>
</context>
<context>
    <name>cv::ResetSettingsDialog</name>
    <message>
        <source>Reset all settings?</source>
        <translation>Alle Einstellungen zurücksetzen?</translation>
    </message>
    <message>
        <source>Every setting returns to its default and the PIN is removed. This cannot be undone.</source>
        <translation>Alle Einstellungen erhalten wieder ihre Standardwerte, und die PIN wird entfernt. Dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
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
    <name>cv::SettingsDeletion</name>
    <message>
        <source>Default method:</source>
        <translation>Standardmethode:</translation>
    </message>
    <message>
        <source>Report format:</source>
        <translation>Berichtsformat:</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Auswählen...</translation>
    </message>
    <message>
        <source>Report folder:</source>
        <translation>Berichtsordner:</translation>
    </message>
    <message>
        <source>Save a report after every deletion</source>
        <translation>Nach jedem Löschvorgang einen Bericht speichern</translation>
    </message>
    <message>
        <source>Show the signature block in reports</source>
        <translation>Unterschriftsfeld in Berichten zeigen</translation>
    </message>
    <message>
        <source>List at most 250 files in a report</source>
        <translation>Höchstens 250 Dateien in einem Bericht aufführen</translation>
    </message>
    <message>
        <source>Show the QR code in reports</source>
        <translation>QR-Code in Berichten zeigen</translation>
    </message>
    <message>
        <source>Ask before a deletion starts</source>
        <translation>Vor jedem Löschvorgang nachfragen</translation>
    </message>
    <message>
        <source>Verify the last pass (reads every file back)</source>
        <translation>Letzten Durchgang überprüfen (liest jede Datei zurück)</translation>
    </message>
    <message>
        <source>Reports:</source>
        <translation>Berichte:</translation>
    </message>
    <message>
        <source>Safety:</source>
        <translation>Sicherheit:</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Berichtsordner</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Signing certificate:</source>
        <translation>Signaturzertifikat:</translation>
    </message>
</context>
<context>
    <name>cv::SettingsGeneral</name>
    <message>
        <source>Start Cindervault when I log in</source>
        <translation>Cindervault bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Start at login:</source>
        <translation>Autostart:</translation>
    </message>
    <message>
        <source>Write a diagnostic log</source>
        <translation>Diagnoseprotokoll schreiben</translation>
    </message>
    <message>
        <source>Diagnosis:</source>
        <translation>Diagnose:</translation>
    </message>
    <message>
        <source>From the next start, into the folder &quot;logs&quot; of the report folder.</source>
        <translation>Ab dem nächsten Start, in den Ordner „logs“ des Berichtsordners.</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Reports use it at once, the window from the next start.</source>
        <translation>Berichte verwenden sie sofort, das Fenster ab dem nächsten Start.</translation>
    </message>
    <message>
        <source>PIN:</source>
        <translation>PIN:</translation>
    </message>
    <message>
        <source>The PIN locks these settings; it does not protect your files or reports.</source>
        <translation>Die PIN sperrt diese Einstellungen; Ihre Dateien und Berichte schützt sie nicht.</translation>
    </message>
    <message>
        <source>Reset all settings...</source>
        <translation>Alle Einstellungen zurücksetzen...</translation>
    </message>
    <message>
        <source>Reset:</source>
        <translation>Zurücksetzen:</translation>
    </message>
    <message>
        <source>change_password</source>
        <translation>PIN ändern...</translation>
    </message>
    <message>
        <source>set_password</source>
        <translation>PIN festlegen...</translation>
    </message>
</context>
<context>
    <name>cv::SettingsHelp</name>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>E-mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Betreff:</translation>
    </message>
    <message>
        <source>Message:</source>
        <translation>Nachricht:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Messages cannot be sent from this build. Help is in the README that comes with Cindervault.</source>
        <translation>Aus dieser Ausgabe können keine Nachrichten gesendet werden. Hilfe finden Sie in der README, die Cindervault beiliegt.</translation>
    </message>
    <message>
        <source>Help is in the README that comes with Cindervault.</source>
        <translation>Hilfe finden Sie in der README, die Cindervault beiliegt.</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Erfolg</translation>
    </message>
    <message>
        <source>Message was sent. Thank you</source>
        <translation>Die Nachricht wurde gesendet. Vielen Dank</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please try again later.</source>
        <translation>Bitte versuchen Sie es später noch einmal.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Exactly this is sent, with the facts about your computer:</source>
        <translation>Genau dies wird gesendet, samt den Angaben zu Ihrem Computer:</translation>
    </message>
    <message>
        <source>To be sent:</source>
        <translation>Wird gesendet:</translation>
    </message>
    <message>
        <source>To: %1</source>
        <translation>An: %1</translation>
    </message>
</context>
<context>
    <name>cv::SettingsNotifications</name>
    <message>
        <source>Show notifications</source>
        <translation>Mitteilungen anzeigen</translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation>Mitteilungen:</translation>
    </message>
    <message>
        <source>When a deletion ends, when a PIN is set and when an update is available.</source>
        <translation>Wenn ein Löschvorgang endet, eine PIN festgelegt wird oder ein Update verfügbar ist.</translation>
    </message>
    <message>
        <source>Play a sound</source>
        <translation>Ton abspielen</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Ton:</translation>
    </message>
    <message>
        <source>Remove notifications after</source>
        <translation>Mitteilungen entfernen nach</translation>
    </message>
    <message>
        <source>Removal:</source>
        <translation>Entfernen:</translation>
    </message>
</context>
<context>
    <name>cv::SettingsPassword</name>
    <message>
        <source>PIN</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>Remove PIN</source>
        <translation>PIN entfernen</translation>
    </message>
    <message>
        <source>Set a new PIN</source>
        <translation>Neue PIN festlegen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Wrong PIN. Please try again.</source>
        <translation>Falsche PIN. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The PINs do not match. Please enter the new PIN again.</source>
        <translation>Die PINs stimmen nicht überein. Bitte geben Sie die neue PIN noch einmal ein.</translation>
    </message>
    <message>
        <source>enter_password</source>
        <translation>Geben Sie Ihre PIN ein</translation>
    </message>
    <message>
        <source>new_password</source>
        <translation>Ihre Einstellungen sind mit einer PIN geschützt</translation>
    </message>
    <message>
        <source>set_password</source>
        <translation>Wählen Sie eine PIN aus vier Zeichen</translation>
    </message>
    <message>
        <source>reenter_new_password</source>
        <translation>Geben Sie die neue PIN noch einmal ein</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong PINs. Please wait %Ln second(s) before you try again.</source>
        <translation>
            <numerusform>Zu viele falsche PINs. Bitte warten Sie %Ln Sekunde, bevor Sie es erneut versuchen.</numerusform>
            <numerusform>Zu viele falsche PINs. Bitte warten Sie %Ln Sekunden, bevor Sie es erneut versuchen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cv::SettingsUpdate</name>
    <message>
        <source>Check for updates automatically</source>
        <translation>Automatisch nach Updates suchen</translation>
    </message>
    <message>
        <source>Automatic checks:</source>
        <translation>Automatische Suche:</translation>
    </message>
    <message>
        <source>Check:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>Tell me when a new version is available</source>
        <translation>Mitteilen, wenn eine neue Version verfügbar ist</translation>
    </message>
    <message>
        <source>New versions:</source>
        <translation>Neue Versionen:</translation>
    </message>
    <message>
        <source>Cindervault is updated by your package manager.</source>
        <translation>Cindervault wird von Ihrer Paketverwaltung aktualisiert.</translation>
    </message>
    <message>
        <source>Check now</source>
        <translation>Jetzt suchen</translation>
    </message>
    <message>
        <source>Cindervault %1 is up to date.</source>
        <translation>Cindervault %1 ist aktuell.</translation>
    </message>
    <message>
        <source>Cindervault %1 is available.</source>
        <translation>Cindervault %1 ist verfügbar.</translation>
    </message>
    <message>
        <source>Release notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message>
        <source>Looking for a new version...</source>
        <translation>Suche nach einer neuen Version...</translation>
    </message>
    <message>
        <source>Update checks are not configured in this build.</source>
        <translation>In dieser Ausgabe ist die Suche nach Updates nicht eingerichtet.</translation>
    </message>
    <message>
        <source>Last checked: %1</source>
        <translation>Zuletzt gesucht: %1</translation>
    </message>
    <message>
        <source>Not checked yet.</source>
        <translation>Noch nicht gesucht.</translation>
    </message>
    <message>
        <source>Next check: %1</source>
        <translation>Nächste Suche: %1</translation>
    </message>
</context>
<context>
    <name>cv::SettingsWindowController</name>
    <message>
        <source>Cindervault Settings</source>
        <translation>Cindervault-Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Mitteilungen</translation>
    </message>
    <message>
        <source>DeletionTab</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>unlock</source>
        <translation>Einstellungen entsperren</translation>
    </message>
    <message>
        <source>lock</source>
        <translation>Einstellungen sperren</translation>
    </message>
</context>
<context>
    <name>cv::SnapshotQuestionDialog</name>
    <message>
        <source>Delete snapshots?</source>
        <translation>Schnappschüsse löschen?</translation>
    </message>
    <message>
        <source>Snapshots take can take a lot of additional space.</source>
        <translation>Schnappschüsse können viel zusätzlichen Speicherplatz belegen.</translation>
    </message>
    <message>
        <source>DELETE</source>
        <translation>LÖSCHEN</translation>
    </message>
    <message>
        <source>Remain</source>
        <translation>Behalten</translation>
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
    <name>cv::TempDataViewController</name>
    <message>
        <source>Searching for temporary data...</source>
        <translation>Temporäre Daten werden gesucht …</translation>
    </message>
    <message>
        <source>Logs</source>
        <translation>Protokolle</translation>
    </message>
    <message>
        <source>Caches</source>
        <translation>Caches</translation>
    </message>
    <message>
        <source>User caches</source>
        <translation>Benutzer-Caches</translation>
    </message>
    <message>
        <source>Selected</source>
        <translation>Ausgewählt</translation>
    </message>
    <message>
        <source>Shred</source>
        <translation>Shreddern</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Temporary data cleaning</source>
        <translation>Bereinigung temporärer Daten</translation>
    </message>
    <message>
        <source>Deselect</source>
        <translation>Abwählen</translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln file(s)</source>
        <translation>
            <numerusform>%1, %Ln Datei</numerusform>
            <numerusform>%1, %Ln Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>Kept as the system&apos;s state: %1</source>
        <translation>Als Zustand des Systems behalten: %1</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
    <message numerus="yes">
        <source>%Ln trash folder(s) left alone</source>
        <translation>
            <numerusform>%Ln Papierkorb-Ordner unberührt gelassen</numerusform>
            <numerusform>%Ln Papierkorb-Ordner unberührt gelassen</numerusform>
        </translation>
    </message>
    <message>
        <source>On a copy-on-write volume: wipe its free space afterwards</source>
        <translation>Auf einem Copy-on-Write-Laufwerk: danach den freien Speicher überschreiben</translation>
    </message>
    <message>
        <source>Needs the administrator</source>
        <translation>Nur mit Administratorrechten</translation>
    </message>
    <message>
        <source>Shreds the files in:</source>
        <translation>Vernichtet die Dateien in:</translation>
    </message>
    <message>
        <source>the logs</source>
        <translation>der Protokolle</translation>
    </message>
    <message>
        <source>the system caches</source>
        <translation>der Systemcaches</translation>
    </message>
    <message>
        <source>your caches</source>
        <translation>Ihrer Caches</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>des Papierkorbs</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message numerus="yes">
        <source>This destroys the files of %1: %Ln file(s), %2.</source>
        <translation>
            <numerusform>Dies vernichtet die Dateien %1: %Ln Datei, %2.</numerusform>
            <numerusform>Dies vernichtet die Dateien %1: %Ln Dateien, %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>The Trash is emptied: its items cannot be restored.</source>
        <translation>Der Papierkorb wird geleert: Seine Objekte lassen sich nicht wiederherstellen.</translation>
    </message>
</context>
<context>
    <name>cv::UpdateScheduler</name>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monatlich</translation>
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
    <message>
        <source>Settings (Ctrl+,)</source>
        <translation>Einstellungen (Strg+,)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
</TS>
