#pragma once
// The desktop shell, one line per routine:
//
//   run_desktop_program  the program: toolkit, main window, stop handling   desktop_program.h
//   desktop_main         the program thread's part                          desktop_program.h
//   report_stop          error box / standard output, then "STOP <text>"    desktop_program.h
//   plot_embeded         main window and its loop until Quit               main_window.h
//   ShellWindows         child_windows, idactiveplotwin, idactivetextwin    main_window.h
//   build_main_window    window, menus, controls in the start state         main_window.h
//   apply_states         show which commands are usable                     main_window.h
//   shown_states         the states less what the viewer or a run greys     main_window.h
//   closeallplotchilds   close child plot windows, main window current      main_window.h
//   handle_open, handle_run, handle_quit, handle_textbox, savescreen, printscreen,
//   closeflag_cancel     the main window's commands                         main_window.h
//   start_states, enter_* the states of the command table (no window)       command_states.h
//   dataset_changed      redraw the plot from the run and the check boxes   plot_view.h
//   title, ylabel, xlabel the "Graph Labels" commands                       plot_view.h
//   plot_shown           the plot as the window shows it now                plot_view.h
//   print_plot, saveplot Print Screen's page and Save Plot As (PNG/SVG/PDF) plot_output.h
//   crosscheck_text, crosscheck_points, show_crosscheck
//                        "Cross-check": its window and its dashed curve     crosscheck_view.h
//   selwyn_fit_of_curve, selwyn_picture_of, show_selwyn_plot
//                        "Selwyn Plot": the global fit of a table's group   selwyn_window.h
//   open_side_window, close_side_window
//                        windows beside the main one, with File > Close     side_window.h
//   main_multiline_box   the results viewer until its Exit                  results_viewer.h
//   readtext, savetext, writelines  load the report, save it as text       results_viewer.h
//   assignunit, assignfiletotextbox, MonitorThread, PopulateFrom
//                        the live file view                                 live_file_view.h
//   nuunit, connect_unit, close_unit, isunitopen, unit_file_name, unit_of_file
//                        the program's numbered file channels               file_channels.h
//   example, info, aboutit  the information screens (and their texts)      info_screens.h
//   openfile             choose the data file                               file_selection.h
//   field_text, left_adjusted, text_file_name, utf8_to_cp1252
//                        text fields and file names                         text_fields.h
//   with_window          toolkit work with a given window current          window_guard.h
//   kWhite, kBlack, kInformationBox, kErrorBox
//                        colours and message-box icons the windows share    window_look.h
//
// Threads: the toolkit's event loop on the main thread; the main loop (file dialog, analysis)
// on the program thread; every command on a thread of its own; the results viewer's loop on the
// thread of "Display Results"; one live file view thread per loaded report.

#include "app/command_states.h"
#include "app/crosscheck_view.h"
#include "app/desktop_program.h"
#include "app/file_channels.h"
#include "app/file_selection.h"
#include "app/info_screens.h"
#include "app/live_file_view.h"
#include "app/main_window.h"
#include "app/plot_output.h"
#include "app/plot_view.h"
#include "app/results_viewer.h"
#include "app/selwyn_window.h"
#include "app/side_window.h"
#include "app/text_fields.h"
#include "app/window_guard.h"
