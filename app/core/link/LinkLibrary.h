#pragma once

#include "qorlink.h"

#include <QString>

#include <utility>

// Every export of the link library the station may call; one row per export.
// clang-format off
#define QORVIEW_LINK_EXPORTS(X)                                                                    \
    X(QorInitInfoStructure) X(QorOpen) X(QorClose) X(QorSetErrorHandler) X(QorDecodeError)         \
    X(QorDefineChannel) X(QorReadFormula) X(QorReadChannel) X(QorClearAllChannels)                 \
    X(QorClearChannel) X(QorResetMM) X(QorSetCzero) X(QorReadCzero) X(QorSetCscale)                \
    X(QorReadCscale) X(QorSetMaster1) X(QorReadMaster1) X(QorSetMaster2) X(QorReadMaster2)         \
    X(QorSetUse2Masters) X(QorReadUse2Masters) X(QorSetChannelDesc) X(QorReadChannelDesc)          \
    X(QorSetBarScaleTop) X(QorReadBarScaleTop) X(QorSetBarScaleBottom) X(QorReadBarScaleBottom)    \
    X(QorSetHiApproach) X(QorReadHiApproach) X(QorSetHiTolerance) X(QorReadHiTolerance)            \
    X(QorSetLoTolerance) X(QorReadLoTolerance) X(QorSetLoApproach) X(QorReadLoApproach)            \
    X(QorReadDirectCopy) X(QorReadLvdt) X(QorSetTfsv) X(QorReadTfsv) X(QorSetTzero)                \
    X(QorReadTzero) X(QorReadAnalog) X(QorSetAfsv) X(QorReadAfsv) X(QorSetAzero) X(QorReadAzero)   \
    X(QorSetLvdtGain) X(QorReadLvdtGain) X(QorSetLvdtFine) X(QorReadLvdtFine) X(QorSetLvdtNull)    \
    X(QorReadLvdtNull) X(QorSaveCalibration) X(QorGetSaveStatus) X(QorStartScan) X(QorStopScan)    \
    X(QorGetScanFlag) X(QorSetScanTime) X(QorGetScanTime) X(QorSetFpIn) X(QorGetFpIn)              \
    X(QorSetFpOut) X(QorGetFpOut) X(QorSetFpPrec) X(QorGetFpPrec) X(QorSet_muxTime)                \
    X(QorSetAdcAvg) X(QorGetAdcAvg) X(QorSetRunAvg) X(QorGetRunAvg) X(QorSetNumberOfChannels)      \
    X(QorGetNumberOfChannels) X(QorSetNumberOfProbes) X(QorGetNumberOfProbes) X(QorReadVersion)    \
    X(QorSetFrequency) X(QorReadFrequency) X(QorStoreFrequency) X(QorSaveSetup) X(QorLoadSetup)    \
    X(QorResetSetup) X(QorListFirstSetup) X(QorListNextSetup)
// clang-format on

// The link library bound by name at run time: libqorlink.so.6 (then the development link
// libqorlink.so) is looked for first in the ../lib
// folder beside the program, then on the loader's search path; each export is resolved on its
// first call. Call load() once at start-up; after a successful load a missing export is reported
// through failureHandler and the call returns its type's zero value.
class LinkLibrary {
public:
    LinkLibrary() = default;
    ~LinkLibrary();
    LinkLibrary(const LinkLibrary &) = delete;
    LinkLibrary &operator=(const LinkLibrary &) = delete;

    // Loads the library; on failure returns false and says why in error.
    bool load(QString *error);
    bool isLoaded() const { return m_module != nullptr; }
    // The name the library is loaded by.
    static constexpr const char *FileName = "libqorlink.so.6";

    // Absolute path of the loaded library file as it was opened (empty before load()).
    QString loadedPath() const { return m_path; }
    // The file actually mapped into the process, symbolic links resolved (for instance
    // .../libqorlink.so.6.0.0 for a loadedPath() of .../libqorlink.so); empty before load().
    QString realFilePath() const;

    // Called with the export's name when it cannot be resolved.
    using MissingExport = void (*)(const char *name);
    void setMissingExportHandler(MissingExport handler) { m_missing = handler; }

#define QORVIEW_LINK_METHOD(fn)                                                                    \
    template <typename... Args> auto fn(Args &&...args) {                                          \
        return call<decltype(&::fn)>(#fn, m_##fn, std::forward<Args>(args)...);                    \
    }
    QORVIEW_LINK_EXPORTS(QORVIEW_LINK_METHOD)
#undef QORVIEW_LINK_METHOD

private:
    void *resolve(const char *name);

    template <typename Fn, typename... Args>
    auto call(const char *name, void *&slot, Args &&...args) {
        if (!slot)
            slot = resolve(name);
        using Result = decltype(std::declval<Fn>()(std::forward<Args>(args)...));
        if (!slot)
            return Result{};
        return reinterpret_cast<Fn>(slot)(std::forward<Args>(args)...);
    }

    void *m_module = nullptr;
    QString m_path;
    MissingExport m_missing = nullptr;
#define QORVIEW_LINK_SLOT(fn) void *m_##fn = nullptr;
    QORVIEW_LINK_EXPORTS(QORVIEW_LINK_SLOT)
#undef QORVIEW_LINK_SLOT
};
