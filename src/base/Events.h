#pragma once

// The event catalogue: every event name and payload key the program posts or
// observes. Each constant's value equals its name, so a name read from a log or
// a test reads the same as the constant. Each catalogue is one list below, from
// which both the constants and the list of all of them are made, so the two
// cannot drift apart.

#include <QString>
#include <QStringList>

// The program's own events.
#define STASHLY_PROGRAM_EVENTS(X)                                                                                      \
    X(TBXApplicationFinishedLaunching)                                                                                 \
    X(TBXApplicationIsQuitting)                                                                                        \
    X(TBXStashly2FirstRun)                                                                                             \
    X(TBXDidEndFirstRunSetupSheet)                                                                                     \
    X(TBXAppDelegateFirstRunSetupComplete)                                                                             \
    X(TBXRefreshRequestOfSourceColumn)                                                                                 \
    X(TBXSelectedSourceNameChanged)                                                                                    \
    X(TBXSourceDoubleClicked)                                                                                          \
    X(TBXSourceColumnLaunchComplete)                                                                                   \
    X(TBXFilesDraggedToCategory)                                                                                       \
    X(TBXAddCategoryReqRefresh)                                                                                        \
    X(TBXCategoryUpdated)                                                                                              \
    X(TBXCategoryReqDelayRecordUpdate)                                                                                 \
    X(TBXRecordReqUpdate)                                                                                              \
    X(TBXRecordInsuranceUpdated)                                                                                       \
    X(TBXRecordControllerReqDelayUpdate)                                                                               \
    X(TBXRecordControllerReqUpdate)                                                                                    \
    X(TBXRecordControllerNewRecordAdded)                                                                               \
    X(TBXRecordListSelectionChanged)                                                                                   \
    X(TBXImageBrowserSelectionChanged)                                                                                 \
    X(TBXImageBrowserViewClicked)                                                                                      \
    X(TBXFilesDraggedToRecord)                                                                                         \
    X(TBXFilesDraggedToRecordTable)                                                                                    \
    X(TBXBrowserAddToRecord)                                                                                           \
    X(TBXBrowserMakeNewRecord)                                                                                         \
    X(TBXRecordListViewMakeNewRecord)                                                                                  \
    X(TBXAddWebArchiveToNewRecord)                                                                                     \
    X(TBXAddFileToRecordFromTempFolder)                                                                                \
    X(TBXNewRecordFromWebArchive)                                                                                      \
    X(TBXNewRecordFromBarcode)                                                                                         \
    X(TBXPopulateRecordWithBarcodeLookupData)                                                                          \
    X(TBXCSVFileImported)                                                                                              \
    X(TBXStashly1ImportReqRefresh)                                                                                     \
    X(TBXDestructionControllerReqRefresh)                                                                              \
    X(TBXFileTableSelectionChanged)                                                                                    \
    X(TBXImageViewThumbnailUpdated)                                                                                    \
    X(TBXThumbnailControllerReqRefresh)                                                                                \
    X(TBXDetailViewReqRefresh)                                                                                         \
    X(TBXSmartFolderControllerReqUpdate)                                                                               \
    X(TBXFilteredSmartFolder)                                                                                          \
    X(TBXSearchFieldUpdated)                                                                                           \
    X(TBXVisibleAssetsUpdated)                                                                                         \
    X(TBXLocationsDidFilter)                                                                                           \
    X(TBXViewModeChanged)                                                                                              \
    X(TBXWebGroupControllerReqRefresh)                                                                                 \
    X(TBXTabIsClosing)                                                                                                 \
    X(TBXMediaDownloadStarted)                                                                                         \
    X(TBXHandleDownloadedMedia)                                                                                        \
    X(TBXLocationAdded)                                                                                                \
    X(TBXLocationDeleted)                                                                                              \
    X(TBXLocationNameUpdated)                                                                                          \
    X(TBXLocationDefaultUpdated)                                                                                       \
    X(TBXPaymentMethodIsDefaultUpdated)                                                                                \
    X(TBXCurrencyIsDefaultUpdated)                                                                                     \
    X(TBXCurrencyUpdated)                                                                                              \
    X(TBXDecimalFormatUpdated)                                                                                         \
    X(TBXDateFormatUpdated)                                                                                            \
    X(TBXColorSchemeUpdated)                                                                                           \
    X(TBXTagsUpdating)                                                                                                 \
    X(TBXTagControllerReqRefresh)                                                                                      \
    X(TBXBackupASyncCopyComplete)                                                                                      \
    X(TBXMediaAccessControllerDidLoadData)                                                                             \
    X(TBXTabBarViewSelectedTab)

// Notifications of the platform layer (store, undo manager, text editing, windows).
// They carry the same names as the desktop notifications they stand in for.
#define STASHLY_PLATFORM_NOTIFICATIONS(X)                                                                              \
    X(ManagedObjectContextObjectsDidChange)                                                                            \
    X(UndoManagerDidUndoChange)                                                                                        \
    X(UndoManagerDidRedoChange)                                                                                        \
    X(UndoManagerDidOpenUndoGroup)                                                                                     \
    X(ControlTextDidBeginEditing)                                                                                      \
    X(ControlTextDidChange)                                                                                            \
    X(ControlTextDidEndEditing)                                                                                        \
    X(TextDidBeginEditing)                                                                                             \
    X(TextDidChange)                                                                                                   \
    X(TextDidEndEditing)                                                                                               \
    X(WindowDidBecomeKey)                                                                                              \
    X(WindowDidBecomeMain)                                                                                             \
    X(WindowWillClose)                                                                                                 \
    X(WindowDidResize)                                                                                                 \
    X(WindowDidResignKey)                                                                                              \
    X(ApplicationDidBecomeActive)

// Payload keys.
#define STASHLY_EVENT_KEYS(X)                                                                                          \
    X(rowName)                                                                                                         \
    X(rowType)                                                                                                         \
    X(canDelete)                                                                                                       \
    X(recAccessorName)                                                                                                 \
    X(selectedAssets)                                                                                                  \
    X(selectionIndexSet)                                                                                               \
    X(recordCreationMethod)                                                                                            \
    X(source)                                                                                                          \
    X(filePathArray)                                                                                                   \
    X(sender)                                                                                                          \
    X(method)                                                                                                          \
    X(newCategory)                                                                                                     \
    X(selectedCategory)                                                                                                \
    X(newRecordMOID)                                                                                                   \
    X(oldCoverageName)                                                                                                 \
    X(newCoverageName)                                                                                                 \
    X(replacementCost)                                                                                                 \
    X(newName)                                                                                                         \
    X(itemType)                                                                                                        \
    X(assets)                                                                                                          \
    X(methodCalled)                                                                                                    \
    X(files)                                                                                                           \
    X(identifier)                                                                                                      \
    X(folderContents)                                                                                                  \
    X(folderName)                                                                                                      \
    X(predicate)                                                                                                       \
    X(predicateType)                                                                                                   \
    X(locationFilterPredicate)                                                                                         \
    X(viewMode)                                                                                                        \
    X(filePath)                                                                                                        \
    X(reqURL)                                                                                                          \
    X(handleDownload)                                                                                                  \
    X(targetMOID)                                                                                                      \
    X(albumNames)                                                                                                      \
    X(albumPaths)                                                                                                      \
    X(categoryName)                                                                                                    \
    X(smartFolderName)                                                                                                 \
    X(webGroupName)                                                                                                    \
    X(csvData)                                                                                                         \
    X(currencySelection)

#define STASHLY_NAME_CONSTANT(name) inline const QString name = QStringLiteral(#name);
#define STASHLY_NAME_ENTRY(name) name,

namespace Events {

STASHLY_PROGRAM_EVENTS(STASHLY_NAME_CONSTANT)
STASHLY_PLATFORM_NOTIFICATIONS(STASHLY_NAME_CONSTANT)

// Every name of each list, for diagnostics and the catalogue tests.
inline const QStringList allProgramEvents = { STASHLY_PROGRAM_EVENTS(STASHLY_NAME_ENTRY) };
inline const QStringList allPlatformNotifications = { STASHLY_PLATFORM_NOTIFICATIONS(STASHLY_NAME_ENTRY) };

} // namespace Events

namespace EventKeys {

STASHLY_EVENT_KEYS(STASHLY_NAME_CONSTANT)

inline const QStringList allKeys = { STASHLY_EVENT_KEYS(STASHLY_NAME_ENTRY) };

} // namespace EventKeys

#undef STASHLY_NAME_ENTRY
#undef STASHLY_NAME_CONSTANT
