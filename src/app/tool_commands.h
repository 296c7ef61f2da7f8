#pragma once

#include "core/command_table.h"
#include "core/menu_items.h"
#include "core/operation_ids.h"

namespace gim {

// The items of the Utiles menu that core and the main window run (the printer and font dialogs, the
// picture viewer, the access code, the backup, the data files, help, mail, the blank report and the
// maker's page), and the pop-up menu's Ordenar, which sorts the files of several features.
inline void DeclareToolCommands(CommandRegistry& menu)
{
    using enum Op;
    menu.Add(MenuItem::ToolsFonts, "&Utiles > &Fuentes", "", "", {}, {ShowFontDialog});
    menu.Add(MenuItem::ToolsPrinters, "&Utiles > Im&presoras", "", "", {}, {ShowPrintDialog});
    menu.Add(MenuItem::ToolsPictures, "&Utiles > &Imagenes", "", "", {}, {ShowPictureViewer});
    menu.Add(MenuItem::ToolsEnvironmentAccess, "&Utiles > &Entorno  > &Acceso", "", "", {},
             {ChangeAccessCode});
    auto& backup =
        menu.Add(MenuItem::ToolsBackupMakeDefaultFolder, "&Utiles > &Copia Seg. > &Hacer > &C:\\CopiaSeg", "",
                 "", {}, {BackupToDefaultFolder});
    backup.driveCaption = true;
    backup.needs = {SortMachineFile, CompactSupplierFile, SortPersonnelFile};
    menu.Add(MenuItem::ToolsBackupMakeChosen, "&Utiles > &Copia Seg. > &Hacer > &Examinar", "", "", {},
             {BackupToChosenFolder});
    auto& restore =
        menu.Add(MenuItem::ToolsBackupRestoreDefaultFolder,
                 "&Utiles > &Copia Seg. > &Restaurar > &C:/CopiaSeg", "", "", {}, {RestoreFromDefaultFolder});
    restore.driveCaption = true;
    restore.needs = {LoadWorkReports, LoadPersonnel};
    menu.Add(MenuItem::ToolsBackupRestoreChosen, "&Utiles > &Copia Seg. > &Restaurar > &Examinar", "", "", {},
             {RestoreFromChosenFolder})
        .needs = {LoadWorkReports, LoadPersonnel};
    menu.Add(MenuItem::ToolsDataFiles, "&Utiles > Fic&heros", "", "", {}, {BrowseDataFiles});
    menu.Add(MenuItem::ToolsHelp, "&Utiles > &Ayuda", "", "", {}, {ShowHelp});
    menu.Add(MenuItem::ToolsMessages, "&Utiles > &Mensajes", "", "", {}, {ShowMailComposer});
    menu.Add(MenuItem::ToolsReports, "&Utiles > I&nformes", "", "", {}, {MaintenanceReport});
    menu.Add(MenuItem::ToolsAbout, "&Utiles > Ce&rca de", "", "", {}, {AboutMaker});
    // The pop-up menu's only command that runs feature operations.
    menu.Add(MenuItem::PopupSortFiles, "Ordenar", "", "", {},
             {WithAction("3", SortPlannedRepairFile), WithAction("", SortPlannedRepairFile),
              WithAction("2", SortBreakdownFile), WithAction("", SortBreakdownFile), PurgePersonnelEntries,
              SortWorkReportFile, SortPersonnelFile, SortEnergyReadings})
        .popup = true;
}

} // namespace gim
