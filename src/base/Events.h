#pragma once

// The event catalogue: every event name and payload key the program posts or
// observes. Each constant's value equals its name, so a name read from a log or
// a test reads the same as the constant.

#include <QString>
#include <QStringList>

namespace Events {

inline const QString TBXApplicationFinishedLaunching = QStringLiteral("TBXApplicationFinishedLaunching");
inline const QString TBXApplicationIsQuitting = QStringLiteral("TBXApplicationIsQuitting");
inline const QString TBXStashly2FirstRun = QStringLiteral("TBXStashly2FirstRun");
inline const QString TBXDidEndFirstRunSetupSheet = QStringLiteral("TBXDidEndFirstRunSetupSheet");
inline const QString TBXAppDelegateFirstRunSetupComplete = QStringLiteral("TBXAppDelegateFirstRunSetupComplete");
inline const QString TBXRefreshRequestOfSourceColumn = QStringLiteral("TBXRefreshRequestOfSourceColumn");
inline const QString TBXSelectedSourceNameChanged = QStringLiteral("TBXSelectedSourceNameChanged");
inline const QString TBXSourceDoubleClicked = QStringLiteral("TBXSourceDoubleClicked");
inline const QString TBXSourceColumnLaunchComplete = QStringLiteral("TBXSourceColumnLaunchComplete");
inline const QString TBXFilesDraggedToCategory = QStringLiteral("TBXFilesDraggedToCategory");
inline const QString TBXAddCategoryReqRefresh = QStringLiteral("TBXAddCategoryReqRefresh");
inline const QString TBXCategoryUpdated = QStringLiteral("TBXCategoryUpdated");
inline const QString TBXCategoryReqDelayRecordUpdate = QStringLiteral("TBXCategoryReqDelayRecordUpdate");
inline const QString TBXRecordReqUpdate = QStringLiteral("TBXRecordReqUpdate");
inline const QString TBXRecordInsuranceUpdated = QStringLiteral("TBXRecordInsuranceUpdated");
inline const QString TBXRecordControllerReqDelayUpdate = QStringLiteral("TBXRecordControllerReqDelayUpdate");
inline const QString TBXRecordControllerReqUpdate = QStringLiteral("TBXRecordControllerReqUpdate");
inline const QString TBXRecordControllerNewRecordAdded = QStringLiteral("TBXRecordControllerNewRecordAdded");
inline const QString TBXRecordListSelectionChanged = QStringLiteral("TBXRecordListSelectionChanged");
inline const QString TBXImageBrowserSelectionChanged = QStringLiteral("TBXImageBrowserSelectionChanged");
inline const QString TBXImageBrowserViewClicked = QStringLiteral("TBXImageBrowserViewClicked");
inline const QString TBXFilesDraggedToRecord = QStringLiteral("TBXFilesDraggedToRecord");
inline const QString TBXFilesDraggedToRecordTable = QStringLiteral("TBXFilesDraggedToRecordTable");
inline const QString TBXBrowserAddToRecord = QStringLiteral("TBXBrowserAddToRecord");
inline const QString TBXBrowserMakeNewRecord = QStringLiteral("TBXBrowserMakeNewRecord");
inline const QString TBXRecordListViewMakeNewRecord = QStringLiteral("TBXRecordListViewMakeNewRecord");
inline const QString TBXAddWebArchiveToNewRecord = QStringLiteral("TBXAddWebArchiveToNewRecord");
inline const QString TBXAddFileToRecordFromTempFolder = QStringLiteral("TBXAddFileToRecordFromTempFolder");
inline const QString TBXNewRecordFromWebArchive = QStringLiteral("TBXNewRecordFromWebArchive");
inline const QString TBXNewRecordFromBarcode = QStringLiteral("TBXNewRecordFromBarcode");
inline const QString TBXPopulateRecordWithBarcodeLookupData = QStringLiteral("TBXPopulateRecordWithBarcodeLookupData");
inline const QString TBXCSVFileImported = QStringLiteral("TBXCSVFileImported");
inline const QString TBXStashly1ImportReqRefresh = QStringLiteral("TBXStashly1ImportReqRefresh");
inline const QString TBXDestructionControllerReqRefresh = QStringLiteral("TBXDestructionControllerReqRefresh");
inline const QString TBXFileTableSelectionChanged = QStringLiteral("TBXFileTableSelectionChanged");
inline const QString TBXImageViewThumbnailUpdated = QStringLiteral("TBXImageViewThumbnailUpdated");
inline const QString TBXThumbnailControllerReqRefresh = QStringLiteral("TBXThumbnailControllerReqRefresh");
inline const QString TBXDetailViewReqRefresh = QStringLiteral("TBXDetailViewReqRefresh");
inline const QString TBXSmartFolderControllerReqUpdate = QStringLiteral("TBXSmartFolderControllerReqUpdate");
inline const QString TBXFilteredSmartFolder = QStringLiteral("TBXFilteredSmartFolder");
inline const QString TBXSearchFieldUpdated = QStringLiteral("TBXSearchFieldUpdated");
inline const QString TBXVisibleAssetsUpdated = QStringLiteral("TBXVisibleAssetsUpdated");
inline const QString TBXLocationsDidFilter = QStringLiteral("TBXLocationsDidFilter");
inline const QString TBXViewModeChanged = QStringLiteral("TBXViewModeChanged");
inline const QString TBXWebGroupControllerReqRefresh = QStringLiteral("TBXWebGroupControllerReqRefresh");
inline const QString TBXTabIsClosing = QStringLiteral("TBXTabIsClosing");
inline const QString TBXMediaDownloadStarted = QStringLiteral("TBXMediaDownloadStarted");
inline const QString TBXHandleDownloadedMedia = QStringLiteral("TBXHandleDownloadedMedia");
inline const QString TBXLocationAdded = QStringLiteral("TBXLocationAdded");
inline const QString TBXLocationDeleted = QStringLiteral("TBXLocationDeleted");
inline const QString TBXLocationNameUpdated = QStringLiteral("TBXLocationNameUpdated");
inline const QString TBXLocationDefaultUpdated = QStringLiteral("TBXLocationDefaultUpdated");
inline const QString TBXPaymentMethodIsDefaultUpdated = QStringLiteral("TBXPaymentMethodIsDefaultUpdated");
inline const QString TBXCurrencyIsDefaultUpdated = QStringLiteral("TBXCurrencyIsDefaultUpdated");
inline const QString TBXCurrencyUpdated = QStringLiteral("TBXCurrencyUpdated");
inline const QString TBXDecimalFormatUpdated = QStringLiteral("TBXDecimalFormatUpdated");
inline const QString TBXDateFormatUpdated = QStringLiteral("TBXDateFormatUpdated");
inline const QString TBXColorSchemeUpdated = QStringLiteral("TBXColorSchemeUpdated");
inline const QString TBXTagsUpdating = QStringLiteral("TBXTagsUpdating");
inline const QString TBXTagControllerReqRefresh = QStringLiteral("TBXTagControllerReqRefresh");
inline const QString TBXBackupASyncCopyComplete = QStringLiteral("TBXBackupASyncCopyComplete");
inline const QString TBXMediaAccessControllerDidLoadData = QStringLiteral("TBXMediaAccessControllerDidLoadData");
inline const QString TBXTabBarViewSelectedTab = QStringLiteral("TBXTabBarViewSelectedTab");

// Notifications of the platform layer (store, undo manager, text editing, windows).
// They carry the same names as the desktop notifications they stand in for.
inline const QString ManagedObjectContextObjectsDidChange = QStringLiteral("ManagedObjectContextObjectsDidChange");
inline const QString UndoManagerDidUndoChange = QStringLiteral("UndoManagerDidUndoChange");
inline const QString UndoManagerDidRedoChange = QStringLiteral("UndoManagerDidRedoChange");
inline const QString UndoManagerDidOpenUndoGroup = QStringLiteral("UndoManagerDidOpenUndoGroup");
inline const QString ControlTextDidBeginEditing = QStringLiteral("ControlTextDidBeginEditing");
inline const QString ControlTextDidChange = QStringLiteral("ControlTextDidChange");
inline const QString ControlTextDidEndEditing = QStringLiteral("ControlTextDidEndEditing");
inline const QString TextDidBeginEditing = QStringLiteral("TextDidBeginEditing");
inline const QString TextDidChange = QStringLiteral("TextDidChange");
inline const QString TextDidEndEditing = QStringLiteral("TextDidEndEditing");
inline const QString WindowDidBecomeKey = QStringLiteral("WindowDidBecomeKey");
inline const QString WindowDidBecomeMain = QStringLiteral("WindowDidBecomeMain");
inline const QString WindowWillClose = QStringLiteral("WindowWillClose");
inline const QString WindowDidResize = QStringLiteral("WindowDidResize");
inline const QString WindowDidResignKey = QStringLiteral("WindowDidResignKey");
inline const QString ApplicationDidBecomeActive = QStringLiteral("ApplicationDidBecomeActive");

// Every program event above, for diagnostics and the catalogue test.
inline const QStringList allProgramEvents = {
    TBXApplicationFinishedLaunching,
    TBXApplicationIsQuitting,
    TBXStashly2FirstRun,
    TBXDidEndFirstRunSetupSheet,
    TBXAppDelegateFirstRunSetupComplete,
    TBXRefreshRequestOfSourceColumn,
    TBXSelectedSourceNameChanged,
    TBXSourceDoubleClicked,
    TBXSourceColumnLaunchComplete,
    TBXFilesDraggedToCategory,
    TBXAddCategoryReqRefresh,
    TBXCategoryUpdated,
    TBXCategoryReqDelayRecordUpdate,
    TBXRecordReqUpdate,
    TBXRecordInsuranceUpdated,
    TBXRecordControllerReqDelayUpdate,
    TBXRecordControllerReqUpdate,
    TBXRecordControllerNewRecordAdded,
    TBXRecordListSelectionChanged,
    TBXImageBrowserSelectionChanged,
    TBXImageBrowserViewClicked,
    TBXFilesDraggedToRecord,
    TBXFilesDraggedToRecordTable,
    TBXBrowserAddToRecord,
    TBXBrowserMakeNewRecord,
    TBXRecordListViewMakeNewRecord,
    TBXAddWebArchiveToNewRecord,
    TBXAddFileToRecordFromTempFolder,
    TBXNewRecordFromWebArchive,
    TBXNewRecordFromBarcode,
    TBXPopulateRecordWithBarcodeLookupData,
    TBXCSVFileImported,
    TBXStashly1ImportReqRefresh,
    TBXDestructionControllerReqRefresh,
    TBXFileTableSelectionChanged,
    TBXImageViewThumbnailUpdated,
    TBXThumbnailControllerReqRefresh,
    TBXDetailViewReqRefresh,
    TBXSmartFolderControllerReqUpdate,
    TBXFilteredSmartFolder,
    TBXSearchFieldUpdated,
    TBXVisibleAssetsUpdated,
    TBXLocationsDidFilter,
    TBXViewModeChanged,
    TBXWebGroupControllerReqRefresh,
    TBXTabIsClosing,
    TBXMediaDownloadStarted,
    TBXHandleDownloadedMedia,
    TBXLocationAdded,
    TBXLocationDeleted,
    TBXLocationNameUpdated,
    TBXLocationDefaultUpdated,
    TBXPaymentMethodIsDefaultUpdated,
    TBXCurrencyIsDefaultUpdated,
    TBXCurrencyUpdated,
    TBXDecimalFormatUpdated,
    TBXDateFormatUpdated,
    TBXColorSchemeUpdated,
    TBXTagsUpdating,
    TBXTagControllerReqRefresh,
    TBXBackupASyncCopyComplete,
    TBXMediaAccessControllerDidLoadData,
    TBXTabBarViewSelectedTab,
};

} // namespace Events

namespace EventKeys {

inline const QString rowName = QStringLiteral("rowName");
inline const QString rowType = QStringLiteral("rowType");
inline const QString canDelete = QStringLiteral("canDelete");
inline const QString recAccessorName = QStringLiteral("recAccessorName");
inline const QString selectedAssets = QStringLiteral("selectedAssets");
inline const QString selectionIndexSet = QStringLiteral("selectionIndexSet");
inline const QString recordCreationMethod = QStringLiteral("recordCreationMethod");
inline const QString source = QStringLiteral("source");
inline const QString filePathArray = QStringLiteral("filePathArray");
inline const QString sender = QStringLiteral("sender");
inline const QString method = QStringLiteral("method");
inline const QString newCategory = QStringLiteral("newCategory");
inline const QString selectedCategory = QStringLiteral("selectedCategory");
inline const QString newRecordMOID = QStringLiteral("newRecordMOID");
inline const QString oldCoverageName = QStringLiteral("oldCoverageName");
inline const QString newCoverageName = QStringLiteral("newCoverageName");
inline const QString replacementCost = QStringLiteral("replacementCost");
inline const QString newName = QStringLiteral("newName");
inline const QString itemType = QStringLiteral("itemType");
inline const QString assets = QStringLiteral("assets");
inline const QString methodCalled = QStringLiteral("methodCalled");
inline const QString files = QStringLiteral("files");
inline const QString identifier = QStringLiteral("identifier");
inline const QString folderContents = QStringLiteral("folderContents");
inline const QString folderName = QStringLiteral("folderName");
inline const QString predicate = QStringLiteral("predicate");
inline const QString predicateType = QStringLiteral("predicateType");
inline const QString locationFilterPredicate = QStringLiteral("locationFilterPredicate");
inline const QString viewMode = QStringLiteral("viewMode");
inline const QString filePath = QStringLiteral("filePath");
inline const QString reqURL = QStringLiteral("reqURL");
inline const QString handleDownload = QStringLiteral("handleDownload");
inline const QString targetMOID = QStringLiteral("targetMOID");
inline const QString albumNames = QStringLiteral("albumNames");
inline const QString albumPaths = QStringLiteral("albumPaths");
inline const QString categoryName = QStringLiteral("categoryName");
inline const QString smartFolderName = QStringLiteral("smartFolderName");
inline const QString webGroupName = QStringLiteral("webGroupName");
inline const QString csvData = QStringLiteral("csvData");
inline const QString currencySelection = QStringLiteral("currencySelection");

inline const QStringList allKeys = {
    rowName,
    rowType,
    canDelete,
    recAccessorName,
    selectedAssets,
    selectionIndexSet,
    recordCreationMethod,
    source,
    filePathArray,
    sender,
    method,
    newCategory,
    selectedCategory,
    newRecordMOID,
    oldCoverageName,
    newCoverageName,
    replacementCost,
    newName,
    itemType,
    assets,
    methodCalled,
    files,
    identifier,
    folderContents,
    folderName,
    predicate,
    predicateType,
    locationFilterPredicate,
    viewMode,
    filePath,
    reqURL,
    handleDownload,
    targetMOID,
    albumNames,
    albumPaths,
    categoryName,
    smartFolderName,
    webGroupName,
    csvData,
    currencySelection,
};

} // namespace EventKeys
