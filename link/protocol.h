#pragma once
#include <QtGlobal>
// Fixed texts of the instrument's line protocol, shared by the client and the stand-in instrument.

namespace Protocol {

constexpr quint16 kPort = 30000;
constexpr int kConnectTimeoutMs = 30000;

// Instrument to client.
constexpr char kWaitLogin[] = "$WAIT LOGIN:";
constexpr char kLoginOk[] = "$LOGIN: OK";
constexpr char kLoginNg[] = "$LOGIN: NG";
constexpr char kPwdAnswer[] = "$PWD:";
constexpr char kListAnswer[] = "$LIST:";
constexpr char kListStart[] = "$DOWNLOAD REQUEST: LIST<START>";
constexpr char kListEnd[] = "$DOWNLOAD REQUEST: LIST<END>";
constexpr char kDownloadPrefix[] = "$DOWNLOAD:";
constexpr char kDownloadCompleted[] = "$DOWNLOAD: COMPLETED";
constexpr char kEndMarker[] = "<END>";

// Client to instrument.
constexpr char kCdHome[] = "$CD $HOME\n";
constexpr char kCdPrefix[] = "$CD ";
constexpr char kPwd[] = "$PWD\n";
constexpr char kList[] = "$LIST\n";
constexpr char kRequestPrefix[] = "$DOWNLOAD REQUEST ";
constexpr char kListAck[] = "$DOWNLOAD REQUEST: LIST COMPLETED\n";
constexpr char kFileAckPrefix[] = "$DOWNLOAD COMPLETED ";
constexpr char kCancel[] = "$DOWNLOAD CANCEL\n";

} // namespace Protocol
