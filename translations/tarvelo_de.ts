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
</context>
<context>
    <name>AlreadyDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>AlreadyDialogTreeWidget</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
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
        <source>Show 0 to %1</source>
        <translation>0 bis %1 anzeigen</translation>
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
        <source>The link to the instrument was lost during the download.</source>
        <translation>Die Verbindung zum Gerät ist während des Downloads abgebrochen.</translation>
    </message>
    <message>
        <source>The instrument sent nothing for %1 s, so the download was stopped.</source>
        <translation>Das Gerät hat %1 s lang nichts gesendet; der Download wurde deshalb beendet.</translation>
    </message>
    <message>
        <source>The link was closed; connect again to go on.</source>
        <translation>Die Verbindung wurde geschlossen; verbinden Sie sich erneut, um fortzufahren.</translation>
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
        <source>The instrument&apos;s list of files to send went on past %1 MiB without its end.</source>
        <translation>Die Liste der zu sendenden Dateien vom Gerät ging über %1 MiB hinaus, ohne zu enden.</translation>
    </message>
    <message>
        <source>its name holds &quot;&lt;&quot;, &quot;&gt;&quot; or a line break, which cannot be named on the link</source>
        <translation>der Name enthält „&lt;“, „&gt;“ oder einen Zeilenumbruch, was sich über die Verbindung nicht angeben lässt</translation>
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
        <source>the folder %1 could not be created</source>
        <translation>der Ordner %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>a folder of that name is in the way</source>
        <translation>ein Ordner gleichen Namens ist im Weg</translation>
    </message>
    <message>
        <source>%1 bytes arrived where the instrument announced %2</source>
        <translation>%1 Bytes angekommen, das Gerät hatte %2 angekündigt</translation>
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
</context>
<context>
    <name>EmptyDownloadSizeDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>O K</source>
        <translation>O K</translation>
    </message>
    <message>
        <source>Select files to download</source>
        <translation>Dateien zum Herunterladen auswählen</translation>
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
        <source>X %1  Y %2  %3  (%4)</source>
        <translation>X %1  Y %2  %3  (%4)</translation>
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
        <source>account or password incorrect.</source>
        <translation>Konto oder Passwort falsch.</translation>
    </message>
    <message>
        <source>No answer from the instrument.</source>
        <translation>Keine Antwort vom Gerät.</translation>
    </message>
    <message>
        <source>The instrument closed the link.</source>
        <translation>Verbindung vom Gerät getrennt.</translation>
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
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
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
</context>
<context>
    <name>NoticeDialog</name>
    <message>
        <source>O K</source>
        <translation>O K</translation>
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
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
</context>
<context>
    <name>ReplaceQuestion</name>
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
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>SecDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Möchten Sie den Download wirklich abbrechen?</translation>
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
</TS>
