# Writes the manual page quorvex-cli(1) from the program's own help texts, so that a new command or
# option reaches the page without a second copy to keep in step.
#   cmake -DCLI=path/to/quorvex-cli -DOUTPUT=quorvex-cli.1 -DVERSION=1.1 -DDATE=2026-12-07
#         -DPROGRAM_DIR=/usr/lib/.../quorvex -P cli_manpage.cmake

# Text for roff: backslashes and minus signs escaped, and a control character at a line start made plain.
function(roff_text variable text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

function(help_text variable)
  execute_process(COMMAND "${CLI}" ${ARGN} OUTPUT_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} exited with ${status}")
  endif()
  set(${variable} "${out}" PARENT_SCOPE)
endfunction()

help_text(overview --help)
string(REGEX MATCHALL "\n  [a-z]+ +[^\n]*" command_lines "${overview}")

set(commands "")
foreach(line IN LISTS command_lines)
  string(REGEX MATCH "^\n  ([a-z]+) +(.*)$" ignored "${line}")
  set(name "${CMAKE_MATCH_1}")
  roff_text(summary "${CMAKE_MATCH_2}")
  help_text(usage ${name} --help)
  roff_text(usage "${usage}")
  string(APPEND commands ".SS ${name}\n${summary}.\n.PP\n.nf\n${usage}.fi\n")
endforeach()
roff_text(program_dir "${PROGRAM_DIR}")

file(WRITE "${OUTPUT}" ".TH QUORVEX\\-CLI 1 \"${DATE}\" \"quorvex ${VERSION}\" \"User Commands\"
.SH NAME
quorvex\\-cli \\- search many web search engines at once from the command line
.SH SYNOPSIS
.B quorvex\\-cli
.I COMMAND
.RI [ ARGUMENTS ...]
.br
.B quorvex\\-cli
.I COMMAND
.B \\-\\-help
.br
.B quorvex\\-cli
.RB [ \\-\\-help | \\-\\-version ]
.SH DESCRIPTION
.B quorvex\\-cli
runs the core of the Quorvex meta\\-search client without a window: it sends a keyword to the engines of
a category and prints the merged results, verifies or downloads the result pages of a kept keyword,
exports a keyword's results, and helps to write and check engine definitions.
.PP
Output lines are tab\\-separated. In every field a backslash is written \\e\\e, TAB \\et, CR \\er, LF \\en,
any other byte below 0x20 and 0x7F as \\ex with two lower\\-case hex digits, and all other bytes raw.
.SH OPTIONS
.TP
.BR \\-h \", \" \\-\\-help
Without a command: list the commands. After a command: describe that command.
.TP
.B \\-\\-version
Print the program's name and version on one line.
.SH COMMANDS
${commands}.SH EXIT STATUS
Each command's text above gives its own statuses; in short:
.TP
.B 0
The command did its work.
.TP
.B 1
The command ran but could not finish: a file could not be written, or an archive is not valid; a
message on standard error says what.
.TP
.B 2
The command is unknown, its arguments are wrong (the usage goes to standard error), or an input it
needs (an engine folder, a kept keyword, a file to read) is missing.
.SH FILES
.TP
.I Engines1/
The engine set beside the program (installed:
.IR ${program_dir}/Engines1/ ):
.I Index.txt
names the categories and their engines, one definition file per engine.
.TP
.I option.txt
In the working folder: proxy and time\\-out options, read as the window reads them.
.TP
.I AllKey.txt
In the working folder: the kept keywords.
.TP
.I SearchResult/
Beside the program: one result file per kept keyword.
.TP
.I LocalFile/
Beside the program: downloaded result pages, one folder per page.
.SH SEE ALSO
.BR quorvex (1)
")
