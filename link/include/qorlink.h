/*
 * qorlink.h - the link to a QOR-128 measuring unit.
 *
 * Handles. The library owns exactly one connection per process. QorInitInfoStructure fills the
 * library's one QorInfo record and returns its address; QorOpen takes that record and returns the
 * connection handle, which every other call takes first. Opening twice returns the same handle:
 * an open connection is closed first and opened again as the record now says. After QorClose the
 * handle stays valid: operations on it fail at once (259 or 265) instead of waiting.
 *
 * Errors. Every call returns an error number: 0 for success, 10 to 23 reported by the unit,
 * 257 to 267 raised by the library. QorDecodeError turns the connection's last error number into
 * its text. After every failed unit operation the installed error handler is called once,
 * synchronously, on the caller's thread (not after a failed QorOpen, QorClose, or a call with a
 * bad handle, which returns 260). A failed read leaves its results untouched. A request that does
 * not fit (a protocol-1 line over 256 bytes with its carriage return, a protocol-0 payload over
 * 255 bytes, a negative direct-copy count) is not sent: the operation fails with 267. An error
 * number in a reply line too large for 32 bits is reported as 2147483647 (-2147483648 when
 * negative).
 *
 * Waiting. On a COM port each read waits at most 1000 ms for the next byte, and a whole reply at
 * most the time its longest form needs on the line (11 bits a byte at the line's rate) plus
 * 1000 ms: 1.3 s at 9600. A reply not complete by then fails as a missing one (259, 265 for a
 * short frame), and whatever of it arrives later is dropped before the next request. On USB a
 * reply waits at most two rounds of 10000 queue polls, about 2 s.
 *
 * Protocols. Protocol 0 sends binary frames, protocol 1 ASCII lines. An operation that has no
 * protocol-0 form fails with 266 in protocol 0 without sending anything; one that has no
 * protocol-1 form succeeds in protocol 1 without any traffic (getters then store 0).
 *
 * Texts. Text reads write at most QOR_TEXT_BUFFER_SIZE bytes, the terminating zero included; give
 * them a buffer of that size. Text arguments are zero-terminated 8-bit strings; NULL is sent as
 * empty.
 *
 * Results. A value the unit's reply is too short to carry reads as 0 (an empty text), never as
 * what an earlier reply left behind. A NULL result pointer discards that result; a NULL value
 * pointer of a Set operation sends 0.0.
 *
 * Threads. The library starts no threads and does no locking: one call at a time per process.
 *
 * Transports. A COM port number n opens the device that QORLINK_COM<n>, a COM<n>= line of
 * $XDG_CONFIG_HOME/qorlink/ports.conf or /etc/qorlink/ports.conf names, else /dev/ttyS<n-1>;
 * a number below 1 names no device (263).
 * Port 4096 selects the unit's USB interface through the D2XX library (QORLINK_FTD2XX or
 * libftd2xx.so). Debug texts go to stderr when QORLINK_DEBUG is set to other than "" or "0".
 *
 * Version. The library is libqorlink.so.6 (version 6.0.0); a client that loads it at run time
 * should ask for that name, which changes only when an export changes incompatibly.
 */
#ifndef QORLINK_H
#define QORLINK_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define QORAPI __stdcall
#else
#define QORAPI
#endif

#if defined(QORLINK_BUILDING) && defined(__GNUC__)
#define QOR_API __attribute__((visibility("default")))
#else
#define QOR_API
#endif

/* Room a caller gives every text read, terminating zero included. */
#define QOR_TEXT_BUFFER_SIZE 260
/* Room QorDecodeError writes at most, terminating zero included. */
#define QOR_ERROR_TEXT_SIZE 42

/* Error numbers the library raises itself (10 to 23 come from the unit). */
#define QOR_OK 0
#define QOR_ERR_USB_LIBRARY_MISSING 257     /* "USB DLL could not be opened" */
#define QOR_ERR_USB_ENTRY_POINT_MISSING 258 /* "USB DLL entry point missing" */
#define QOR_ERR_NO_RESPONSE 259             /* "QOR did not respond to command" */
#define QOR_ERR_INVALID_HANDLE 260          /* "Invalid Qor Handle" */
#define QOR_ERR_CLOSE_FAILED 261            /* "Qor port could not be closed" */
#define QOR_ERR_USB_DEVICE_FAILED 262       /* "USB DLL could not be opened" */
#define QOR_ERR_OPEN_FAILED 263             /* "USB DLL could not be opened" */
#define QOR_ERR_SEND_FAILED 264             /* "Error sending data to Qor" */
#define QOR_ERR_BAD_LENGTH 265              /* "Unexpected message length" */
#define QOR_ERR_NOT_IN_PROTOCOL 266         /* "Command not available in current protocol" */
#define QOR_ERR_COMMAND_TOO_LONG 267        /* "Command too long" */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct QorConnection *QorHandle;

/* Called after every failed operation with the connection handle; the result is ignored. */
typedef int32_t(QORAPI *QorErrorHandler)(QorHandle handle);

/* Connection description. size is the tag 24; error receives the reason of a failed QorOpen. */
typedef struct QorInfo {
    int32_t size, port, baud, protocol, error;
    QorErrorHandler handler;
} QorInfo;

/* ---- Connection ------------------------------------------------------------------------ */

/* Fills the library's info record (tag 24, error 0; handler NULL installs the default handler,
   which writes "Qor Error: <text>" to stderr). Always succeeds; returns the same address. */
QOR_API QorInfo *QORAPI QorInitInfoStructure(int32_t port, int32_t baud, int32_t protocol,
                                             QorErrorHandler handler);
/* Opens the port or USB device the record names. Returns the handle, or NULL with the reason in
   info->error (0 for a bad record or protocol, 257/258/262/263 otherwise). */
QOR_API QorHandle QORAPI QorOpen(QorInfo *info);
/* Closes the connection and releases the port. 0 (also when already closed), 260 for a bad
   handle, 261 when the USB device will not close (the connection then stays open). */
QOR_API int32_t QORAPI QorClose(QorHandle h);
/* Installs handler (NULL: the default handler). 0, or 260 for a bad handle. */
QOR_API int32_t QORAPI QorSetErrorHandler(QorHandle h, QorErrorHandler handler);
/* Stores the last error number in *error and its text (at most QOR_ERROR_TEXT_SIZE bytes) in text.
   0, or 260 for a bad handle (nothing written). Never calls the error handler. */
QOR_API int32_t QORAPI QorDecodeError(QorHandle h, int32_t *error, char *text);

/* ---- Channels -------------------------------------------------------------------------- */

/* Defines channel's formula; an empty or NULL formula clears the channel. */
QOR_API int32_t QORAPI QorDefineChannel(QorHandle h, int32_t channel, const char *formula);
QOR_API int32_t QORAPI QorReadFormula(QorHandle h, int32_t channel, char *text);
/* Reads the channel's current value. */
QOR_API int32_t QORAPI QorReadChannel(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorClearAllChannels(QorHandle h);
QOR_API int32_t QORAPI QorClearChannel(QorHandle h, int32_t channel);
/* Resets the unit's maximum/minimum memory. */
QOR_API int32_t QORAPI QorResetMM(QorHandle h);

/* Channel constants: zero offset, scale, masters, bar scale, tolerance and approach limits. */
QOR_API int32_t QORAPI QorSetCzero(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadCzero(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetCscale(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadCscale(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetMaster1(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadMaster1(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetMaster2(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadMaster2(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetBarScaleTop(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadBarScaleTop(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetBarScaleBottom(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadBarScaleBottom(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetHiApproach(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadHiApproach(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetHiTolerance(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadHiTolerance(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetLoTolerance(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadLoTolerance(QorHandle h, int32_t channel, float *value);
QOR_API int32_t QORAPI QorSetLoApproach(QorHandle h, int32_t channel, const float *value);
QOR_API int32_t QORAPI QorReadLoApproach(QorHandle h, int32_t channel, float *value);
/* useTwo: 0 = one master, non-zero = two. */
QOR_API int32_t QORAPI QorSetUse2Masters(QorHandle h, int32_t channel, int32_t useTwo);
QOR_API int32_t QORAPI QorReadUse2Masters(QorHandle h, int32_t channel, int32_t *useTwo);
QOR_API int32_t QORAPI QorSetChannelDesc(QorHandle h, int32_t channel, const char *text);
QOR_API int32_t QORAPI QorReadChannelDesc(QorHandle h, int32_t channel, char *text);
/* Protocol 0: raw 16-bit readings of count (0 to 255, else 267) channels; readings the reply does
   not carry are 0; channels NULL sends channel 0s. Protocol 1: starts the scan and writes no
   result. */
QOR_API int32_t QORAPI QorReadDirectCopy(QorHandle h, int32_t count, const uint8_t *channels,
                                         int16_t *results);

/* ---- Probes and analog inputs ---------------------------------------------------------- */

QOR_API int32_t QORAPI QorReadLvdt(QorHandle h, int32_t probe, float *value);
QOR_API int32_t QORAPI QorSetTfsv(QorHandle h, int32_t probe, const float *value);
QOR_API int32_t QORAPI QorReadTfsv(QorHandle h, int32_t probe, float *value);
QOR_API int32_t QORAPI QorSetTzero(QorHandle h, int32_t probe, const float *value);
QOR_API int32_t QORAPI QorReadTzero(QorHandle h, int32_t probe, float *value);
/* In protocol 1 the analog operations only exchange the start-scan line; reads then store the
   fixed values 0.0 (reading, zero) and 1.0 (full scale). */
QOR_API int32_t QORAPI QorReadAnalog(QorHandle h, int32_t input, float *value);
QOR_API int32_t QORAPI QorSetAfsv(QorHandle h, int32_t input, const float *value);
QOR_API int32_t QORAPI QorReadAfsv(QorHandle h, int32_t input, float *value);
QOR_API int32_t QORAPI QorSetAzero(QorHandle h, int32_t input, const float *value);
QOR_API int32_t QORAPI QorReadAzero(QorHandle h, int32_t input, float *value);

/* LVDT amplifier: gain settings (each taken as one byte), fine gain and null (16-bit). */
QOR_API int32_t QORAPI QorSetLvdtGain(QorHandle h, int32_t probe, int32_t first, int32_t second);
QOR_API int32_t QORAPI QorReadLvdtGain(QorHandle h, int32_t probe, uint8_t *first, uint8_t *second);
QOR_API int32_t QORAPI QorSetLvdtFine(QorHandle h, int32_t probe, int32_t fine);
QOR_API int32_t QORAPI QorReadLvdtFine(QorHandle h, int32_t probe, int16_t *fine);
QOR_API int32_t QORAPI QorSetLvdtNull(QorHandle h, int32_t probe, int32_t null);
QOR_API int32_t QORAPI QorReadLvdtNull(QorHandle h, int32_t probe, int16_t *null);
/* Stores the amplifier calibration in the unit; poll QorGetSaveStatus until it is done. */
QOR_API int32_t QORAPI QorSaveCalibration(QorHandle h, int16_t *status);
QOR_API int32_t QORAPI QorGetSaveStatus(QorHandle h, int16_t *first, int16_t *second);

/* ---- Scan and unit settings ------------------------------------------------------------ */

QOR_API int32_t QORAPI QorStartScan(QorHandle h);
QOR_API int32_t QORAPI QorStopScan(QorHandle h);
QOR_API int32_t QORAPI QorGetScanFlag(QorHandle h, int16_t *flag);
/* 16-bit settings: the value is taken as a signed 16-bit number. */
QOR_API int32_t QORAPI QorSetScanTime(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetScanTime(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetFpIn(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetFpIn(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetFpOut(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetFpOut(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetFpPrec(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetFpPrec(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSet_muxTime(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorSetAdcAvg(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetAdcAvg(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetRunAvg(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetRunAvg(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetNumberOfChannels(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetNumberOfChannels(QorHandle h, int16_t *value);
QOR_API int32_t QORAPI QorSetNumberOfProbes(QorHandle h, int32_t value);
QOR_API int32_t QORAPI QorGetNumberOfProbes(QorHandle h, int16_t *value);
/* Firmware version text. */
QOR_API int32_t QORAPI QorReadVersion(QorHandle h, char *text);
QOR_API int32_t QORAPI QorSetFrequency(QorHandle h, int32_t index, int32_t value);
QOR_API int32_t QORAPI QorReadFrequency(QorHandle h, int32_t index, int32_t *value);
QOR_API int32_t QORAPI QorStoreFrequency(QorHandle h, int32_t index, int32_t value);

/* ---- Setups stored in the unit --------------------------------------------------------- */

QOR_API int32_t QORAPI QorSaveSetup(QorHandle h, const char *name);
QOR_API int32_t QORAPI QorLoadSetup(QorHandle h, const char *name);
QOR_API int32_t QORAPI QorResetSetup(QorHandle h);
/* Start and continue a listing of the setups stored in the unit; on success text receives the
   setup name the unit returns (reply field A), on error it is left as it was. */
QOR_API int32_t QORAPI QorListFirstSetup(QorHandle h, char *text);
QOR_API int32_t QORAPI QorListNextSetup(QorHandle h, char *text);

#ifdef __cplusplus
}
#endif

#endif /* QORLINK_H */
