<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About TARVELO(TM) Utility</source>
        <translation>Über TARVELO(TM) Utility</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source> Utility:: About</source>
        <translation> Utility:: Info</translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>Copyright %1 %2 %3. All rights reserved.</source>
        <translation>Copyright %1 %2 %3. Alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>About this program</source>
        <translation>Über dieses Programm</translation>
    </message>
</context>
<context>
    <name>AlreadyDialog</name>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Replace files</source>
        <translation>Dateien ersetzen</translation>
    </message>
</context>
<context>
    <name>AlreadyDialogTreeWidget</name>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Replace folder</source>
        <translation>Ordner ersetzen</translation>
    </message>
</context>
<context>
    <name>BrowseExchange</name>
    <message>
        <source>The instrument did not answer within %1 s.</source>
        <translation>Das Gerät hat nicht innerhalb von %1 s geantwortet.</translation>
    </message>
</context>
<context>
    <name>BrowserPanel</name>
    <message>
        <source>Start Download</source>
        <translation>Download starten</translation>
    </message>
    <message>
        <source>Download “%1”</source>
        <translation>„%1“ herunterladen</translation>
    </message>
    <message>
        <source>Download the selected files and folders</source>
        <translation>Ausgewählte Dateien und Ordner herunterladen</translation>
    </message>
    <message>
        <source>Select the files and folders to download in the list first</source>
        <translation>Wählen Sie zuerst in der Liste die Dateien und Ordner zum Herunterladen aus</translation>
    </message>
    <message>
        <source>Not connected: there is no folder to refresh.</source>
        <translation>Nicht verbunden: Es gibt keinen Ordner zum Aktualisieren.</translation>
    </message>
    <message>
        <source>Not connected: there is no folder to go up from.</source>
        <translation>Nicht verbunden: Es gibt keinen Ordner, von dem aus Sie nach oben wechseln könnten.</translation>
    </message>
    <message>
        <source>%1 is the top folder.</source>
        <translation>%1 ist der oberste Ordner.</translation>
    </message>
    <message>
        <source>There is no folder to go back to.</source>
        <translation>Es gibt keinen Ordner, zu dem Sie zurückkehren könnten.</translation>
    </message>
    <message>
        <source>Download new files</source>
        <translation>Neue Dateien herunterladen</translation>
    </message>
    <message>
        <source>Download new files in “%1”</source>
        <translation>Neue Dateien in „%1“ herunterladen</translation>
    </message>
</context>
<context>
    <name>BrowserTools</name>
    <message>
        <source>There is no image to export.</source>
        <translation>Es gibt kein Bild zum Exportieren.</translation>
    </message>
    <message>
        <source>The view could not be encoded as PNG.</source>
        <translation>Die Ansicht konnte nicht als PNG kodiert werden.</translation>
    </message>
</context>
<context>
    <name>ClientSession</name>
    <message>
        <source>The instrument sent nothing for %1 s, so the download was stopped.</source>
        <translation>Das Gerät hat %1 s lang nichts gesendet; der Download wurde deshalb beendet.</translation>
    </message>
    <message>
        <source>The connection to the instrument was lost during the download.</source>
        <translation>Die Verbindung zum Gerät ist während des Downloads abgebrochen.</translation>
    </message>
    <message>
        <source>The instrument closed the connection.</source>
        <translation>Das Gerät hat die Verbindung geschlossen.</translation>
    </message>
    <message>
        <source>The connection to the instrument was closed.</source>
        <translation>Die Verbindung zum Gerät wurde geschlossen.</translation>
    </message>
    <message>
        <source>A download is under way.</source>
        <translation>Ein Download läuft gerade.</translation>
    </message>
    <message>
        <source>Not connected to an instrument.</source>
        <translation>Nicht mit einem Gerät verbunden.</translation>
    </message>
    <message>
        <source>stopped while it arrived</source>
        <translation>beim Empfang angehalten</translation>
    </message>
    <message>
        <source>The download was stopped at once.</source>
        <translation>Der Download wurde sofort angehalten.</translation>
    </message>
</context>
<context>
    <name>ContrastPanel</name>
    <message>
        <source>Display range</source>
        <translation>Anzeigebereich</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Saturate 0.35 % of the pixels, per colour channel</source>
        <translation>0,35 % der Pixel sättigen, je Farbkanal</translation>
    </message>
    <message>
        <source>The full range of the data</source>
        <translation>Der volle Wertebereich der Daten</translation>
    </message>
    <message>
        <source>Bits</source>
        <translation>Bit</translation>
    </message>
    <message>
        <source>Auto for each new image</source>
        <translation>Auto für jedes neue Bild</translation>
    </message>
    <message>
        <source>Off: the range stays while paging through the folder</source>
        <translation>Aus: Der Bereich bleibt beim Blättern im Ordner erhalten</translation>
    </message>
    <message>
        <source>Data %1 to %2</source>
        <translation>Daten %1 bis %2</translation>
    </message>
    <message>
        <source>Palette and 1-bit images are shown as stored.</source>
        <translation>Paletten- und 1-Bit-Bilder werden wie gespeichert angezeigt.</translation>
    </message>
    <message>
        <source>Show 0 to %1 for this image</source>
        <translation>0 bis %1 für dieses Bild anzeigen</translation>
    </message>
    <message>
        <source>Bits and Reset apply to this image; the next one gets its own range.</source>
        <translation>Bit und Zurücksetzen gelten für dieses Bild; das nächste erhält seinen eigenen Bereich.</translation>
    </message>
    <message>
        <source>Off: the range set here stays for the next images.</source>
        <translation>Aus: Der hier eingestellte Bereich bleibt für die nächsten Bilder erhalten.</translation>
    </message>
</context>
<context>
    <name>DownloadController</name>
    <message>
        <source>Not connected to an instrument.
Choose &quot;Connect&quot; to log in, then start the download again.</source>
        <translation>Nicht mit einem Gerät verbunden.
Wählen Sie „Verbinden“, um sich anzumelden, und starten Sie den Download dann erneut.</translation>
    </message>
    <message>
        <source>The connection was closed; connect again to go on.</source>
        <translation>Die Verbindung wurde geschlossen; verbinden Sie sich erneut, um fortzufahren.</translation>
    </message>
    <message>
        <source>Show record</source>
        <translation>Protokoll anzeigen</translation>
    </message>
    <message>
        <source>1 file stored in %1</source>
        <translation>1 Datei in %1 gespeichert</translation>
    </message>
    <message>
        <source>%1 files stored in %2</source>
        <translation>%1 Dateien in %2 gespeichert</translation>
    </message>
    <message>
        <source>; record updated</source>
        <translation>; Protokoll aktualisiert</translation>
    </message>
    <message>
        <source>The search for new files ended early: %1</source>
        <translation>Die Suche nach neuen Dateien endete vorzeitig: %1</translation>
    </message>
    <message>
        <source>There are no files in the selected folders.</source>
        <translation>Die ausgewählten Ordner enthalten keine Dateien.</translation>
    </message>
    <message>
        <source>The file is already in the download folder.</source>
        <translation>Die Datei ist bereits im Download-Ordner.</translation>
    </message>
    <message>
        <source>All %1 files are already in the download folder.</source>
        <translation>Alle %1 Dateien sind bereits im Download-Ordner.</translation>
    </message>
    <message>
        <source>1 file already in the download folder was skipped (compared by name only).</source>
        <translation>1 Datei, die bereits im Download-Ordner ist, wurde übersprungen (nur nach Namen verglichen).</translation>
    </message>
    <message>
        <source>%1 files already in the download folder were skipped (compared by name only).</source>
        <translation>%1 Dateien, die bereits im Download-Ordner sind, wurden übersprungen (nur nach Namen verglichen).</translation>
    </message>
    <message>
        <source>Reconnect and get the rest</source>
        <translation>Neu verbinden und Rest holen</translation>
    </message>
</context>
<context>
    <name>DownloadNotice</name>
    <message>
        <source> and %1 more</source>
        <translation> und %1 weitere</translation>
    </message>
    <message>
        <source>This file could not be stored:</source>
        <translation>Diese Datei konnte nicht gespeichert werden:</translation>
    </message>
    <message>
        <source>These files could not be stored:</source>
        <translation>Diese Dateien konnten nicht gespeichert werden:</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>Sent by the instrument without being asked for, and thrown away: %1.</source>
        <translation>Vom Gerät ungefragt gesendet und verworfen: %1.</translation>
    </message>
    <message>
        <source>Probably cut short, because the instrument gave no size and the file holds its own end line: %1.</source>
        <translation>Vermutlich unvollständig, da das Gerät keine Größe angab und die Datei selbst eine Endzeile enthält: %1.</translation>
    </message>
    <message>
        <source>Announced by the instrument but never sent: %1.</source>
        <translation>Vom Gerät angekündigt, aber nie gesendet: %1.</translation>
    </message>
    <message>
        <source>No file arrived.</source>
        <translation>Es ist keine Datei angekommen.</translation>
    </message>
    <message>
        <source>Arrived: %1.</source>
        <translation>Angekommen: %1.</translation>
    </message>
    <message>
        <source>Cut off and discarded (a local copy from before is unchanged): %1.</source>
        <translation>Abgebrochen und verworfen (eine bereits vorhandene lokale Kopie bleibt unverändert): %1.</translation>
    </message>
    <message>
        <source>Not received: %1.</source>
        <translation>Nicht empfangen: %1.</translation>
    </message>
    <message>
        <source>The download was stopped because the transfer record could not be written (%1). A file is only accepted from the instrument once its line is in the record.</source>
        <translation>Der Download wurde angehalten, weil das Übertragungsprotokoll nicht geschrieben werden konnte (%1). Eine Datei wird vom Gerät erst angenommen, wenn ihre Zeile im Protokoll steht.</translation>
    </message>
</context>
<context>
    <name>DownloadProgress</name>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>file %1 of %2</source>
        <translation>Datei %1 von %2</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Stopping after this file…</source>
        <translation>Stopp nach dieser Datei…</translation>
    </message>
    <message>
        <source>Writing to the disk…</source>
        <translation>Schreibt auf den Datenträger…</translation>
    </message>
    <message>
        <source>No data for %1</source>
        <translation>Seit %1 keine Daten</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>about %1 left</source>
        <translation>noch etwa %1</translation>
    </message>
    <message>
        <source>about %1 left in this file</source>
        <translation>noch etwa %1 für diese Datei</translation>
    </message>
</context>
<context>
    <name>DownloadReceiver</name>
    <message>
        <source>the download ended while it arrived</source>
        <translation>der Download endete, während die Datei eintraf</translation>
    </message>
    <message>
        <source>The instrument&apos;s list of files to send went on past %1 MiB without its end.</source>
        <translation>Die Liste der zu sendenden Dateien vom Gerät ging über %1 MiB hinaus, ohne zu enden.</translation>
    </message>
    <message>
        <source>its name holds &quot;&lt;&quot;, &quot;&gt;&quot; or a line break, which cannot be named on the connection</source>
        <translation>ihr Name enthält &quot;&lt;&quot;, &quot;&gt;&quot; oder einen Zeilenumbruch, der über die Verbindung nicht genannt werden kann</translation>
    </message>
    <message>
        <source>%1 bytes arrived where the instrument announced %2</source>
        <translation>%1 Bytes angekommen, das Gerät hatte %2 angekündigt</translation>
    </message>
    <message>
        <source>the instrument named no path</source>
        <translation>das Gerät hat keinen Pfad angegeben</translation>
    </message>
    <message>
        <source>refused: the path lies outside the instrument&apos;s folder</source>
        <translation>abgelehnt: Der Pfad liegt außerhalb des Geräteordners</translation>
    </message>
    <message>
        <source>refused: %1 holds the download folder&apos;s own record</source>
        <translation>abgelehnt: %1 enthält das eigene Protokoll des Download-Ordners</translation>
    </message>
    <message>
        <source>the folder %1 could not be created</source>
        <translation>der Ordner %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>a folder of that name is in the way</source>
        <translation>ein Ordner gleichen Namens ist im Weg</translation>
    </message>
    <message>
        <source>the record could not be written: %1</source>
        <translation>das Protokoll konnte nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>DownloadToast</name>
    <message>
        <source>Download finished</source>
        <translation>Download abgeschlossen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Show record</source>
        <translation>Protokoll anzeigen</translation>
    </message>
</context>
<context>
    <name>DownloadingProgressDialog</name>
    <message>
        <source>Downloading...</source>
        <translation>Download läuft...</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Check Condition..</source>
        <translation>Zustand wird geprüft..</translation>
    </message>
    <message>
        <source>Looking for new files… (folders checked: %1)</source>
        <translation>Suche nach neuen Dateien… (geprüfte Ordner: %1)</translation>
    </message>
    <message>
        <source>Stop now</source>
        <translation>Sofort stoppen</translation>
    </message>
    <message>
        <source>Stop without waiting for the file under way: it is thrown away (a copy from before is kept) and the connection is opened again.</source>
        <translation>Anhalten, ohne auf die laufende Datei zu warten: Sie wird verworfen (eine frühere Kopie bleibt erhalten), und die Verbindung wird neu aufgebaut.</translation>
    </message>
</context>
<context>
    <name>EmptyDownloadSizeDialog</name>
    <message>
        <source>O K</source>
        <translation>O K</translation>
    </message>
    <message>
        <source>Select files to download</source>
        <translation>Dateien zum Herunterladen auswählen</translation>
    </message>
    <message>
        <source>Nothing selected</source>
        <translation>Nichts ausgewählt</translation>
    </message>
</context>
<context>
    <name>FileOpener</name>
    <message>
        <source>&quot;%1&quot; cannot be opened: its path does not map safely into the download folder.</source>
        <translation>„%1“ kann nicht geöffnet werden: Der Pfad lässt sich nicht sicher im Download-Ordner abbilden.</translation>
    </message>
    <message>
        <source>The folder could not be shown either. The file is:
%1</source>
        <translation>Auch der Ordner konnte nicht angezeigt werden. Die Datei ist:
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has been downloaded, but it is neither an image nor a PDF file. It is in:
%2</source>
        <translation>„%1“ wurde heruntergeladen, ist aber weder ein Bild noch eine PDF-Datei. Die Datei liegt in:
%2</translation>
    </message>
</context>
<context>
    <name>FileWriter</name>
    <message>
        <source>the file could not be written</source>
        <translation>die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>no space left on the disk</source>
        <translation>kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>the disk did not take the data</source>
        <translation>der Datenträger hat die Daten nicht angenommen</translation>
    </message>
</context>
<context>
    <name>FolderVerify</name>
    <message>
        <source>Compare with the instrument</source>
        <translation>Mit dem Gerät vergleichen</translation>
    </message>
    <message>
        <source>Instrument folders whose files should have verified copies, one a line
(Cancel checks the download folder only):</source>
        <translation>Geräteordner, deren Dateien geprüfte Kopien haben sollen, einer pro Zeile
(Abbrechen prüft nur den Download-Ordner):</translation>
    </message>
    <message>
        <source>Verify Download Folder</source>
        <translation>Download-Ordner prüfen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation>%1 wird geprüft</translation>
    </message>
    <message>
        <source>Listing %1 on the instrument
%2 folders, %3 files so far</source>
        <translation>%1 wird auf dem Gerät aufgelistet
Bisher %2 Ordner, %3 Dateien</translation>
    </message>
    <message>
        <source>Reading the record of %1</source>
        <translation>Protokoll von %1 wird gelesen</translation>
    </message>
    <message>
        <source>The checksum list could not be brought up to date: %1</source>
        <translation>Die Prüfsummenliste konnte nicht aktualisiert werden: %1</translation>
    </message>
    <message>
        <source>Not connected: the copies were not compared with the instrument. Connect and verify again to learn whether every file of a folder on the instrument has a verified copy.</source>
        <translation>Nicht verbunden: Die Kopien wurden nicht mit dem Gerät verglichen. Verbinden Sie sich und prüfen Sie erneut, um zu erfahren, ob jede Datei eines Geräteordners eine geprüfte Kopie hat.</translation>
    </message>
    <message>
        <source>Listing %1 on the instrument</source>
        <translation>%1 wird auf dem Gerät aufgelistet</translation>
    </message>
    <message>
        <source>%1 could not be compared with the download folder: %2</source>
        <translation>%1 konnte nicht mit dem Download-Ordner verglichen werden: %2</translation>
    </message>
    <message>
        <source>Not walked, as they show a folder above them again: %1</source>
        <translation>Nicht durchsucht, da sie wieder auf einen übergeordneten Ordner verweisen: %1</translation>
    </message>
    <message>
        <source>%1 has no transfer record yet: nothing has been downloaded into it with this program.</source>
        <translation>%1 hat noch kein Übertragungsprotokoll: Mit diesem Programm wurde noch nichts dorthin heruntergeladen.</translation>
    </message>
    <message>
        <source>Verify: %1</source>
        <translation>Prüfung: %1</translation>
    </message>
    <message>
        <source>Record: %1</source>
        <translation>Protokoll: %1</translation>
    </message>
</context>
<context>
    <name>FolderWalk</name>
    <message>
        <source>Not connected to an instrument.</source>
        <translation>Nicht mit einem Gerät verbunden.</translation>
    </message>
    <message>
        <source>The instrument did not list “%1”.</source>
        <translation>Das Gerät hat „%1“ nicht aufgelistet.</translation>
    </message>
    <message>
        <source>The folders below “%1” go deeper than %2 levels; the walk was stopped.</source>
        <translation>Die Ordner unter „%1“ reichen tiefer als %2 Ebenen; die Suche wurde beendet.</translation>
    </message>
    <message>
        <source>There are more than %1 files below the folders; the walk was stopped.</source>
        <translation>Unter den Ordnern liegen mehr als %1 Dateien; die Suche wurde beendet.</translation>
    </message>
    <message>
        <source>There are more than %1 folders below the folders; the walk was stopped.</source>
        <translation>Unter den Ordnern liegen mehr als %1 Ordner; die Suche wurde beendet.</translation>
    </message>
</context>
<context>
    <name>HelpLauncher</name>
    <message>
        <source>Simple Text Viewer</source>
        <translation>Einfacher Textbetrachter</translation>
    </message>
    <message>
        <source>Unable to launch Qt Assistant (%1)</source>
        <translation>Qt Assistant kann nicht gestartet werden (%1)</translation>
    </message>
</context>
<context>
    <name>ImageAttributeDialog</name>
    <message>
        <source>Attribute</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Image description</source>
        <translation>Bildbeschreibung</translation>
    </message>
    <message>
        <source>This image has no description.</source>
        <translation>Dieses Bild hat keine Beschreibung.</translation>
    </message>
</context>
<context>
    <name>ImageFrame</name>
    <message>
        <source>Images with %1 bits per pixel cannot be shown.</source>
        <translation>Bilder mit %1 Bit pro Pixel können nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>The image is too large to be shown.</source>
        <translation>Das Bild ist zu groß für die Anzeige.</translation>
    </message>
    <message>
        <source>There is not enough memory to show an image of %1 x %2 pixels.</source>
        <translation>Der Speicher reicht nicht, um ein Bild mit %1 x %2 Pixeln anzuzeigen.</translation>
    </message>
    <message>
        <source>shown %1</source>
        <translation>angezeigt %1</translation>
    </message>
    <message>
        <source>shown %1, %2, %3</source>
        <translation>angezeigt %1, %2, %3</translation>
    </message>
    <message>
        <source>(%1, %2 %3)  </source>
        <translation>(%1, %2 %3)  </translation>
    </message>
    <message>
        <source>X %1  Y %2  %3%4  (%5)</source>
        <translation>X %1  Y %2  %3%4  (%5)</translation>
    </message>
</context>
<context>
    <name>ImageLoadDialog</name>
    <message>
        <source>Loading %1 ...</source>
        <translation>%1 wird geladen ...</translation>
    </message>
    <message>
        <source>Loading ... (Esc cancels)</source>
        <translation>Wird geladen ... (Esc bricht ab)</translation>
    </message>
    <message>
        <source>Loading %1 ... %2 %</source>
        <translation>%1 wird geladen ... %2 %</translation>
    </message>
    <message>
        <source>%1 cannot be shown.</source>
        <translation>%1 kann nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>Stored rows %1 could not be read; they show black.</source>
        <translation>Die gespeicherten Zeilen %1 konnten nicht gelesen werden; sie erscheinen schwarz.</translation>
    </message>
    <message>
        <source>Rows %1 could not be read; they show black.</source>
        <translation>Die Zeilen %1 konnten nicht gelesen werden; sie erscheinen schwarz.</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Loading %1 was cancelled.</source>
        <translation>Das Laden von %1 wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Previous page (,)</source>
        <translation>Vorige Seite (,)</translation>
    </message>
    <message>
        <source>Next page (.)</source>
        <translation>Nächste Seite (.)</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>Display range and histogram (C)</source>
        <translation>Anzeigebereich und Histogramm (C)</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Pixel size: %1</source>
        <translation>Pixelgröße: %1</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Details: the image&apos;s description</source>
        <translation>Details: Beschreibung des Bildes</translation>
    </message>
    <message>
        <source>Previous image (Page Up)</source>
        <translation>Voriges Bild (Bild auf)</translation>
    </message>
    <message>
        <source>Next image (Page Down)</source>
        <translation>Nächstes Bild (Bild ab)</translation>
    </message>
</context>
<context>
    <name>ImageMenu</name>
    <message>
        <source>Open Image…</source>
        <translation>Bild öffnen…</translation>
    </message>
    <message>
        <source>Recent Images</source>
        <translation>Zuletzt geöffnete Bilder</translation>
    </message>
    <message>
        <source>Export View as PNG…</source>
        <translation>Ansicht als PNG exportieren…</translation>
    </message>
    <message>
        <source>Export Whole Image as PNG…</source>
        <translation>Ganzes Bild als PNG exportieren…</translation>
    </message>
    <message>
        <source>Export View as PNG</source>
        <translation>Ansicht als PNG exportieren</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Bild öffnen</translation>
    </message>
    <message>
        <source>TIFF images (*.tif *.tiff *.TIF *.TIFF);;All files (*)</source>
        <translation>TIFF-Bilder (*.tif *.tiff *.TIF *.TIFF);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 is no longer there.</source>
        <translation>%1 ist nicht mehr vorhanden.</translation>
    </message>
    <message>
        <source>No images yet</source>
        <translation>Noch keine Bilder</translation>
    </message>
    <message>
        <source>Clear Recent Images</source>
        <translation>Liste der Bilder leeren</translation>
    </message>
    <message>
        <source>Export View</source>
        <translation>Ansicht exportieren</translation>
    </message>
    <message>
        <source>Open an image first: there is no view to export.</source>
        <translation>Öffnen Sie zuerst ein Bild: Es gibt keine Ansicht zum Exportieren.</translation>
    </message>
    <message>
        <source>%1 could not be written.
%2</source>
        <translation>%1 konnte nicht geschrieben werden.
%2</translation>
    </message>
</context>
<context>
    <name>InstrumentWalk</name>
    <message>
        <source>The instrument check was stopped before the end.</source>
        <translation>Der Abgleich mit dem Gerät wurde vor dem Ende beendet.</translation>
    </message>
    <message>
        <source>The instrument holds more than %1 folders or %2 files below the folders chosen; the check stopped there.</source>
        <translation>Das Gerät enthält unter den gewählten Ordnern mehr als %1 Ordner oder %2 Dateien; die Prüfung endete dort.</translation>
    </message>
    <message>
        <source>%1 could not be listed.</source>
        <translation>%1 konnte nicht aufgelistet werden.</translation>
    </message>
    <message>
        <source>%1 lies more than %2 folders deep below the folder chosen (a folder that links back up?); the check stopped there.</source>
        <translation>%1 liegt mehr als %2 Ordner tief unter dem gewählten Ordner (ein Ordner, der nach oben zurückverweist?); die Prüfung endete dort.</translation>
    </message>
</context>
<context>
    <name>LineProfile</name>
    <message>
        <source>There is no image to take a profile of.</source>
        <translation>Es gibt kein Bild, von dem ein Profil erstellt werden kann.</translation>
    </message>
    <message>
        <source>The line has no length: draw it over at least one pixel.</source>
        <translation>Die Linie hat keine Länge: Ziehen Sie sie über mindestens ein Pixel.</translation>
    </message>
</context>
<context>
    <name>LoginDialog</name>
    <message>
        <source>TARVELO™ Utility:: Connector</source>
        <translation>TARVELO™ Utility:: Verbindung</translation>
    </message>
    <message>
        <source>Enter all four parts of the address.</source>
        <translation>Bitte alle vier Adressteile eingeben.</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Verbinde...</translation>
    </message>
    <message>
        <source>Refused: nothing answers there on port %1.</source>
        <translation>Abgewiesen: Auf Port %1 antwortet dort nichts.</translation>
    </message>
    <message>
        <source>No answer within %1 s: check the address.</source>
        <translation>Keine Antwort innerhalb von %1 s: Adresse prüfen.</translation>
    </message>
    <message>
        <source>This computer cannot reach that address.</source>
        <translation>Dieser Rechner erreicht die Adresse nicht.</translation>
    </message>
    <message>
        <source>Connecting failed!</source>
        <translation>Verbindung fehlgeschlagen!</translation>
    </message>
    <message>
        <source>No answer from the instrument.</source>
        <translation>Keine Antwort vom Gerät.</translation>
    </message>
    <message>
        <source>Server IP Address</source>
        <translation>Server-IP-Adresse</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>anonymous</source>
        <translation>anonym</translation>
    </message>
    <message>
        <source>CONNECT</source>
        <translation>VERBINDEN</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>ABBRECHEN</translation>
    </message>
    <message>
        <source>Account or password incorrect.</source>
        <translation>Konto oder Passwort falsch.</translation>
    </message>
    <message>
        <source>The instrument disconnected.</source>
        <translation>Vom Gerät getrennt.</translation>
    </message>
    <message>
        <source>Server IP address, part %1 of 4</source>
        <translation>Server-IP-Adresse, Teil %1 von 4</translation>
    </message>
    <message>
        <source>Enter the password to connect again.</source>
        <translation>Bitte das Passwort erneut eingeben.</translation>
    </message>
</context>
<context>
    <name>LookupTable</name>
    <message>
        <source>Grey</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Inverted</source>
        <translation>Invertiert</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Fire</translation>
    </message>
    <message>
        <source>Viridis</source>
        <translation>Viridis</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Select directory</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>TARVELO™ Utility:: Downloader</source>
        <translation>TARVELO™ Utility:: Downloader</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Start Download</source>
        <translation>Download starten</translation>
    </message>
    <message>
        <source>Set Download folder</source>
        <translation>Download-Ordner festlegen</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Help Contents</source>
        <translation>Hilfethemen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>The connection to the instrument was lost.
Choose &quot;Connect&quot; to log in again.</source>
        <translation>Die Verbindung zum Gerät ist abgebrochen.
Wählen Sie „Verbinden“, um sich erneut anzumelden.</translation>
    </message>
    <message>
        <source>Verify Download Folder…</source>
        <translation>Download-Ordner prüfen…</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Not while a download runs: wait for it to end, or choose Stop.</source>
        <translation>Nicht während eines Downloads: Warten Sie, bis er beendet ist, oder wählen Sie Stopp.</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Connected to %1 as %2</source>
        <translation>Verbunden mit %1 als %2</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Downloading. Other folders and downloads wait until it has ended.</source>
        <translation>Download läuft. Andere Ordner und Downloads warten, bis er beendet ist.</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximise or restore</source>
        <translation>Maximieren oder wiederherstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Instrument folders</source>
        <translation>Geräteordner</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Download the selected files and folders</source>
        <translation>Ausgewählte Dateien und Ordner herunterladen</translation>
    </message>
    <message>
        <source>Instrument folder shown</source>
        <translation>Angezeigter Geräteordner</translation>
    </message>
    <message>
        <source>Folder contents</source>
        <translation>Ordnerinhalt</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Connecting to %1 again…</source>
        <translation>Erneute Verbindung mit %1…</translation>
    </message>
    <message>
        <source>Connecting to %1 again failed.</source>
        <translation>Die erneute Verbindung mit %1 ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Choose &quot;Connect&quot; to log in again.</source>
        <translation>Wählen Sie „Verbinden“, um sich erneut anzumelden.</translation>
    </message>
    <message>
        <source>The instrument refused the login.</source>
        <translation>Das Gerät hat die Anmeldung abgelehnt.</translation>
    </message>
    <message>
        <source>No answer from the instrument.</source>
        <translation>Keine Antwort vom Gerät.</translation>
    </message>
</context>
<context>
    <name>Manifest</name>
    <message>
        <source>The checksum list %1 could not be written: %2</source>
        <translation>Die Prüfsummenliste %1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>MeasureBar</name>
    <message>
        <source>Lookup table for single-channel images</source>
        <translation>Farbtabelle für Einkanalbilder</translation>
    </message>
    <message>
        <source>HiLo</source>
        <translation>HiLo</translation>
    </message>
    <message>
        <source>Mark values at or beyond the display range: low blue, high red (S)</source>
        <translation>Werte an oder außerhalb der Grenzen des Anzeigebereichs markieren: unten blau, oben rot (S)</translation>
    </message>
    <message>
        <source>Scale Bar</source>
        <translation>Maßstabsleiste</translation>
    </message>
    <message>
        <source>Show a scale bar (B)</source>
        <translation>Maßstabsleiste anzeigen (B)</translation>
    </message>
    <message>
        <source>Set Scale…</source>
        <translation>Maßstab festlegen…</translation>
    </message>
    <message>
        <source>Tell the pixel size from a known distance</source>
        <translation>Pixelgröße aus einem bekannten Abstand bestimmen</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Show the line profile window</source>
        <translation>Fenster mit dem Linienprofil anzeigen</translation>
    </message>
    <message>
        <source>Copy Statistics</source>
        <translation>Statistik kopieren</translation>
    </message>
    <message>
        <source>Copy the region&apos;s statistics as tab-separated text</source>
        <translation>Statistik des Bereichs als tabulatorgetrennten Text kopieren</translation>
    </message>
</context>
<context>
    <name>MeasureModel</name>
    <message>
        <source>Line %1 %2, angle %3°</source>
        <translation>Linie %1 %2, Winkel %3°</translation>
    </message>
    <message>
        <source>Measuring the region…</source>
        <translation>Bereich wird gemessen…</translation>
    </message>
    <message>
        <source>%1 pixels, area %2 %3</source>
        <translation>%1 Pixel, Fläche %2 %3</translation>
    </message>
    <message>
        <source>mean %1  sd %2  min %3  max %4  sum %5</source>
        <translation>Mittel %1  SD %2  Min %3  Max %4  Summe %5</translation>
    </message>
    <message>
        <source>  (%1 NaN or infinite left out)</source>
        <translation>  (%1 NaN oder unendliche Werte ausgelassen)</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Area (%1)</source>
        <translation>Fläche (%1)</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>StdDev</source>
        <translation>StdAbw</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Sum</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>NaN/Inf</source>
        <translation>NaN/Inf</translation>
    </message>
    <message>
        <source>Distance (%1)</source>
        <translation>Abstand (%1)</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>MessageReader</name>
    <message>
        <source>The instrument sent a folder listing longer than %1 MiB.</source>
        <translation>Das Gerät hat eine Ordnerliste gesendet, die länger als %1 MiB ist.</translation>
    </message>
    <message>
        <source>The instrument sent a folder name longer than %1 KiB.</source>
        <translation>Das Gerät hat einen Ordnernamen gesendet, der länger als %1 KiB ist.</translation>
    </message>
    <message>
        <source>The instrument sent a file header longer than %1 KiB.</source>
        <translation>Das Gerät hat einen Dateikopf gesendet, der länger als %1 KiB ist.</translation>
    </message>
    <message>
        <source>The instrument sent a folder listing of more than %1 entries.</source>
        <translation>Das Gerät hat eine Ordnerliste mit mehr als %1 Einträgen gesendet.</translation>
    </message>
</context>
<context>
    <name>NoViewerDialog</name>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No application is set up to open %1 files on this computer.

“%2” has been downloaded; show it in its folder to open it another way.</source>
        <translation>Auf diesem Rechner ist kein Programm zum Öffnen von %1-Dateien eingerichtet.

„%2“ wurde heruntergeladen; zeigen Sie die Datei im Ordner, um sie auf anderem Weg zu öffnen.</translation>
    </message>
</context>
<context>
    <name>NotDownloadDialog</name>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Download the file to open.</source>
        <translation>Laden Sie die Datei zum Öffnen herunter.</translation>
    </message>
    <message>
        <source>Download to open</source>
        <translation>Zum Öffnen herunterladen</translation>
    </message>
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>O K</source>
        <translation>O K</translation>
    </message>
</context>
<context>
    <name>NoticeLook</name>
    <message>
        <source>TARVELO Utility: notice</source>
        <translation>TARVELO Utility: Hinweis</translation>
    </message>
</context>
<context>
    <name>PixelReadOut</name>
    <message>
        <source>Index %1 (R %2 G %3 B %4)</source>
        <translation>Index %1 (R %2 G %3 B %4)</translation>
    </message>
    <message>
        <source>R %1 G %2 B %3</source>
        <translation>R %1 G %2 B %3</translation>
    </message>
    <message>
        <source>Value %1</source>
        <translation>Wert %1</translation>
    </message>
    <message>
        <source>  Alpha %1</source>
        <translation>  Alpha %1</translation>
    </message>
</context>
<context>
    <name>ProfilePlot</name>
    <message>
        <source>at %1 %2: %3</source>
        <translation>bei %1 %2: %3</translation>
    </message>
    <message>
        <source>Draw a line on the image (Shift-drag).</source>
        <translation>Ziehen Sie eine Linie über das Bild (mit gedrückter Umschalttaste).</translation>
    </message>
    <message>
        <source>Distance (%1)</source>
        <translation>Abstand (%1)</translation>
    </message>
</context>
<context>
    <name>ProfileWindow</name>
    <message>
        <source>Line Profile</source>
        <translation>Linienprofil</translation>
    </message>
    <message>
        <source>Width (pixels):</source>
        <translation>Breite (Pixel):</translation>
    </message>
    <message>
        <source>Line width in pixels</source>
        <translation>Linienbreite in Pixeln</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save CSV…</source>
        <translation>CSV speichern…</translation>
    </message>
    <message>
        <source>Save Plot as PNG…</source>
        <translation>Diagramm als PNG speichern…</translation>
    </message>
    <message>
        <source>, width %1</source>
        <translation>, Breite %1</translation>
    </message>
    <message>
        <source>There is no profile to save.</source>
        <translation>Es gibt kein Profil zum Speichern.</translation>
    </message>
    <message>
        <source>Save Plot as PNG</source>
        <translation>Diagramm als PNG speichern</translation>
    </message>
    <message>
        <source>Save Profile as CSV</source>
        <translation>Profil als CSV speichern</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>%1 could not be written.
%2</source>
        <translation>%1 konnte nicht geschrieben werden.
%2</translation>
    </message>
    <message>
        <source>There is no profile.</source>
        <translation>Es gibt kein Profil.</translation>
    </message>
    <message>
        <source>The plot could not be encoded.</source>
        <translation>Das Diagramm konnte nicht kodiert werden.</translation>
    </message>
</context>
<context>
    <name>ProvenanceSection</name>
    <message>
        <source>Where the file came from</source>
        <translation>Herkunft der Datei</translation>
    </message>
    <message>
        <source>Not in the transfer record of a download folder.</source>
        <translation>Nicht im Übertragungsprotokoll eines Download-Ordners.</translation>
    </message>
    <message>
        <source>Downloaded %1 from %2 as %3
Instrument path: %4
SHA-256: %5
Checking whether the file still matches…</source>
        <translation>Heruntergeladen am %1 von %2 als %3
Gerätepfad: %4
SHA-256: %5
Es wird geprüft, ob die Datei noch übereinstimmt…</translation>
    </message>
    <message>
        <source>The file cannot be read to check it.</source>
        <translation>Die Datei kann zur Prüfung nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The file still matches its record.</source>
        <translation>Die Datei stimmt noch mit ihrem Protokolleintrag überein.</translation>
    </message>
    <message>
        <source>The file has CHANGED since it was downloaded (SHA-256 now %1).</source>
        <translation>Die Datei wurde seit dem Download GEÄNDERT (SHA-256 jetzt %1).</translation>
    </message>
    <message>
        <source>Downloaded %1 from %2 as %3
Instrument path: %4
SHA-256: %5
%6</source>
        <translation>Heruntergeladen am %1 von %2 als %3
Gerätepfad: %4
SHA-256: %5
%6</translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>Only new files</source>
        <translation>Nur neue Dateien</translation>
    </message>
    <message>
        <source>Download only the files that are not in the download folder yet (compared by name)</source>
        <translation>Nur Dateien herunterladen, die noch nicht im Download-Ordner sind (Vergleich nach Namen)</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
</context>
<context>
    <name>RecordIndex</name>
    <message>
        <source>1 line cut short by an interruption while it was written</source>
        <translation>1 Zeile, die durch eine Unterbrechung beim Schreiben abgeschnitten wurde</translation>
    </message>
    <message>
        <source>%1 lines cut short by interruptions while they were written</source>
        <translation>%1 Zeilen, die durch Unterbrechungen beim Schreiben abgeschnitten wurden</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 beschädigte Zeile</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>%1 beschädigte Zeilen</translation>
    </message>
    <message>
        <source>1 line from a later version of the program</source>
        <translation>1 Zeile aus einer neueren Version des Programms</translation>
    </message>
    <message>
        <source>%1 lines from a later version of the program</source>
        <translation>%1 Zeilen aus einer neueren Version des Programms</translation>
    </message>
    <message>
        <source>The transfer record has 1 line that could not be read and was skipped: %1.</source>
        <translation>Das Übertragungsprotokoll hat 1 Zeile, die nicht gelesen werden konnte und übersprungen wurde: %1.</translation>
    </message>
    <message>
        <source>The transfer record has %1 lines that could not be read and were skipped: %2.</source>
        <translation>Das Übertragungsprotokoll hat %1 Zeilen, die nicht gelesen werden konnten und übersprungen wurden: %2.</translation>
    </message>
    <message>
        <source>The record file %1; it was left as it is.</source>
        <translation>Die Protokolldatei %1; sie wurde unverändert gelassen.</translation>
    </message>
    <message>
        <source>%1 could not be opened (%2)</source>
        <translation>%1 konnte nicht geöffnet werden (%2)</translation>
    </message>
    <message>
        <source>%1 was written by a later version of the program</source>
        <translation>%1 wurde von einer neueren Version des Programms geschrieben</translation>
    </message>
    <message>
        <source>%1 is damaged</source>
        <translation>%1 ist beschädigt</translation>
    </message>
</context>
<context>
    <name>RecordLock</name>
    <message>
        <source>cannot make the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>RecordResultWindow</name>
    <message>
        <source>Export as CSV</source>
        <translation>Als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Row numbers</source>
        <translation>Zeilennummern</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Spalten</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy the selected rows (all rows when none is selected) as text</source>
        <translation>Ausgewählte Zeilen (ohne Auswahl alle Zeilen) als Text kopieren</translation>
    </message>
    <message>
        <source>Export as CSV…</source>
        <translation>Als CSV exportieren…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The table could not be saved to %1: %2</source>
        <translation>Die Tabelle konnte nicht unter %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>RecordTables</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Local file</source>
        <translation>Lokale Datei</translation>
    </message>
    <message>
        <source>Instrument path</source>
        <translation>Gerätepfad</translation>
    </message>
    <message>
        <source>SHA-256 in the record</source>
        <translation>SHA-256 im Protokoll</translation>
    </message>
    <message>
        <source>SHA-256 now</source>
        <translation>SHA-256 jetzt</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>no verified copy</source>
        <translation>keine geprüfte Kopie</translation>
    </message>
    <message>
        <source>on the instrument</source>
        <translation>auf dem Gerät</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Announced bytes</source>
        <translation>Gemeldete Bytes</translation>
    </message>
    <message>
        <source>Stored bytes</source>
        <translation>Gespeicherte Bytes</translation>
    </message>
    <message>
        <source>SHA-256</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>Time (UTC)</source>
        <translation>Zeit (UTC)</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Download of %1 from %2 as %3: %4.</source>
        <translation>Download vom %1 von %2 als %3: %4.</translation>
    </message>
    <message>
        <source>no files</source>
        <translation>keine Dateien</translation>
    </message>
    <message>
        <source>Download %1: %2.</source>
        <translation>Download %1: %2.</translation>
    </message>
    <message>
        <source>Its end was not recorded (the program ended during it).</source>
        <translation>Sein Ende wurde nicht protokolliert (das Programm wurde währenddessen beendet).</translation>
    </message>
    <message>
        <source>The connection ended before the download did.</source>
        <translation>Die Verbindung endete vor dem Download.</translation>
    </message>
    <message>
        <source>Stopped by the user.</source>
        <translation>Vom Benutzer gestoppt.</translation>
    </message>
    <message>
        <source>The record holds no download %1.</source>
        <translation>Das Protokoll enthält keinen Download %1.</translation>
    </message>
</context>
<context>
    <name>ReplaceQuestion</name>
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>There is already a folder with the same name in this location.</source>
        <translation>An diesem Ort gibt es bereits einen Ordner mit demselben Namen.</translation>
    </message>
    <message>
        <source>There is already a file with the same name in this location.</source>
        <translation>An diesem Ort gibt es bereits eine Datei mit demselben Namen.</translation>
    </message>
    <message>
        <source>Do you want to replace the existing folder?</source>
        <translation>Möchten Sie den vorhandenen Ordner ersetzen?</translation>
    </message>
    <message>
        <source>Do you want to replace the existing file?</source>
        <translation>Möchten Sie die vorhandene Datei ersetzen?</translation>
    </message>
    <message>
        <source>All %1 selected entries are already in this location.</source>
        <translation>Alle %1 ausgewählten Einträge sind bereits an diesem Ort.</translation>
    </message>
    <message>
        <source>There are already %1 of the %2 selected entries in this location.</source>
        <translation>%1 der %2 ausgewählten Einträge sind bereits an diesem Ort.</translation>
    </message>
    <message>
        <source>Do you want to replace the existing folders?</source>
        <translation>Möchten Sie die vorhandenen Ordner ersetzen?</translation>
    </message>
    <message>
        <source>Do you want to replace the existing files?</source>
        <translation>Möchten Sie die vorhandenen Dateien ersetzen?</translation>
    </message>
    <message>
        <source>Do you want to replace the existing entries?</source>
        <translation>Möchten Sie die vorhandenen Einträge ersetzen?</translation>
    </message>
</context>
<context>
    <name>SecDialog</name>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Möchten Sie den Download wirklich abbrechen?</translation>
    </message>
    <message>
        <source>Stop download</source>
        <translation>Download stoppen</translation>
    </message>
    <message>
        <source>Keep downloading</source>
        <translation>Weiter herunterladen</translation>
    </message>
</context>
<context>
    <name>SetScaleDialog</name>
    <message>
        <source>Set Scale</source>
        <translation>Maßstab festlegen</translation>
    </message>
    <message>
        <source>Distance in pixels:</source>
        <translation>Abstand in Pixeln:</translation>
    </message>
    <message>
        <source>Known distance:</source>
        <translation>Bekannter Abstand:</translation>
    </message>
    <message>
        <source>Unit of length:</source>
        <translation>Längeneinheit:</translation>
    </message>
    <message>
        <source>The scale is kept for every image of this folder.</source>
        <translation>Der Maßstab gilt für alle Bilder dieses Ordners.</translation>
    </message>
    <message>
        <source>Remove Scale</source>
        <translation>Maßstab entfernen</translation>
    </message>
</context>
<context>
    <name>TiffDecoder</name>
    <message>
        <source>The file cannot be read as a TIFF image.</source>
        <translation>Die Datei lässt sich nicht als TIFF-Bild lesen.</translation>
    </message>
    <message>
        <source>Page %1 of the file cannot be read.</source>
        <translation>Seite %1 der Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The image has no pixels (%1 x %2).</source>
        <translation>Das Bild hat keine Pixel (%1 x %2).</translation>
    </message>
    <message>
        <source>The image is too large to be shown: %1 x %2 pixels would need %3 of memory (at most %4).</source>
        <translation>Das Bild ist zu groß für die Anzeige: %1 x %2 Pixel bräuchten %3 Speicher (höchstens %4).</translation>
    </message>
    <message>
        <source>The header describes %1 x %2 pixels (%3 of image data), but the file holds only %4 of it.</source>
        <translation>Der Dateikopf beschreibt %1 x %2 Pixel (%3 Bilddaten), die Datei enthält davon aber nur %4.</translation>
    </message>
    <message>
        <source>Loading was cancelled.</source>
        <translation>Das Laden wurde abgebrochen.</translation>
    </message>
    <message>
        <source>There is not enough memory to turn the image upright.</source>
        <translation>Der Speicher reicht nicht, um das Bild aufzurichten.</translation>
    </message>
    <message>
        <source>%1 images cannot be shown.</source>
        <translation>%1-Bilder können nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>There is not enough memory for an image of %1 x %2 pixels.</source>
        <translation>Der Speicher reicht nicht für ein Bild mit %1 x %2 Pixeln.</translation>
    </message>
    <message>
        <source>The file&apos;s tiles have no size.</source>
        <translation>Die Kacheln der Datei haben keine Größe.</translation>
    </message>
    <message>
        <source>The file&apos;s strips have no size.</source>
        <translation>Die Streifen der Datei haben keine Größe.</translation>
    </message>
    <message>
        <source>libtiff could not decode the image.</source>
        <translation>libtiff konnte das Bild nicht dekodieren.</translation>
    </message>
    <message>
        <source>libtiff could not decode the image: %1</source>
        <translation>libtiff konnte das Bild nicht dekodieren: %1</translation>
    </message>
</context>
<context>
    <name>TiffImage</name>
    <message>
        <source>Only TIFF files named &quot;*.tif&quot; are shown here.</source>
        <translation>Hier werden nur TIFF-Dateien mit der Endung „*.tif“ angezeigt.</translation>
    </message>
</context>
<context>
    <name>TransferRecord</name>
    <message>
        <source>The download folder %1 is a file, not a folder, so nothing was requested from the instrument.</source>
        <translation>Der Download-Ordner %1 ist eine Datei, kein Ordner; daher wurde nichts vom Gerät angefordert.</translation>
    </message>
    <message>
        <source>The download folder %1 does not exist and could not be made, so nothing was requested from the instrument.</source>
        <translation>Der Download-Ordner %1 existiert nicht und konnte nicht angelegt werden; daher wurde nichts vom Gerät angefordert.</translation>
    </message>
    <message>
        <source>The download folder %1 cannot be written to (%2), so nothing was requested from the instrument.</source>
        <translation>In den Download-Ordner %1 kann nicht geschrieben werden (%2); daher wurde nichts vom Gerät angefordert.</translation>
    </message>
    <message>
        <source>The transfer record in %1 cannot be written to (%2), so nothing was requested from the instrument.</source>
        <translation>Das Übertragungsprotokoll in %1 kann nicht geschrieben werden (%2); daher wurde nichts vom Gerät angefordert.</translation>
    </message>
    <message>
        <source>The transfer record cannot be locked: %1</source>
        <translation>Das Übertragungsprotokoll kann nicht gesperrt werden: %1</translation>
    </message>
    <message>
        <source>The transfer record %1 in %2 could not be read (%3). It was kept as it is, and a new record, %4, was started beside it.</source>
        <translation>Das Übertragungsprotokoll %1 in %2 konnte nicht gelesen werden (%3). Es wurde unverändert behalten, und daneben wurde ein neues Protokoll, %4, begonnen.</translation>
    </message>
    <message>
        <source>it was written by a later version of this program</source>
        <translation>es wurde von einer neueren Version dieses Programms geschrieben</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>es ist beschädigt</translation>
    </message>
    <message>
        <source>The transfer record %1 could not be written: %2</source>
        <translation>Das Übertragungsprotokoll %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The transfer record %1 could not be saved to the disk: %2</source>
        <translation>Das Übertragungsprotokoll %1 konnte nicht auf der Festplatte gesichert werden: %2</translation>
    </message>
</context>
<context>
    <name>Verifier</name>
    <message>
        <source>%1 holds no files.</source>
        <translation>%1 enthält keine Dateien.</translation>
    </message>
    <message>
        <source>The one file of %1 has a verified copy in the download folder.</source>
        <translation>Die eine Datei von %1 hat eine geprüfte Kopie im Download-Ordner.</translation>
    </message>
    <message>
        <source>All %1 files of %2 have verified copies in the download folder.</source>
        <translation>Alle %1 Dateien von %2 haben geprüfte Kopien im Download-Ordner.</translation>
    </message>
    <message>
        <source>1 of %1 files of %2 has no verified copy:</source>
        <translation>1 von %1 Dateien von %2 hat keine geprüfte Kopie:</translation>
    </message>
    <message>
        <source>%1 of %2 files of %3 have no verified copy:</source>
        <translation>%1 von %2 Dateien von %3 haben keine geprüfte Kopie:</translation>
    </message>
</context>
<context>
    <name>VerifyResult</name>
    <message>
        <source>verified</source>
        <translation>geprüft</translation>
    </message>
    <message>
        <source>changed since download</source>
        <translation>seit dem Download verändert</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>fehlt</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>not in the record</source>
        <translation>nicht im Protokoll</translation>
    </message>
    <message>
        <source>The one recorded file has a verified copy.</source>
        <translation>Die eine protokollierte Datei hat eine geprüfte Kopie.</translation>
    </message>
    <message>
        <source>All %1 recorded files have verified copies.</source>
        <translation>Alle %1 protokollierten Dateien haben geprüfte Kopien.</translation>
    </message>
    <message>
        <source>%1 of %2 recorded files have no verified copy: %3.</source>
        <translation>%1 von %2 protokollierten Dateien haben keine geprüfte Kopie: %3.</translation>
    </message>
    <message>
        <source>1 local file is not in the record.</source>
        <translation>1 lokale Datei ist nicht im Protokoll.</translation>
    </message>
    <message>
        <source>%1 local files are not in the record.</source>
        <translation>%1 lokale Dateien sind nicht im Protokoll.</translation>
    </message>
    <message>
        <source>Stopped before the end.</source>
        <translation>Vor dem Ende angehalten.</translation>
    </message>
</context>
<context>
    <name>WindowFrame</name>
    <message>
        <source>Drag to resize the window</source>
        <translation>Ziehen, um die Fenstergröße zu ändern</translation>
    </message>
    <message>
        <source>Resize the window</source>
        <translation>Fenstergröße ändern</translation>
    </message>
</context>
</TS>
