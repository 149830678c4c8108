" Vim syntax for Velmorat scene scripts (scripts/DATAnnn.txt). A statement is
" recognised by the first bytes of its line, case sensitive, as the game does:
" a line that begins with no statement is shown as an error. The statement
" lists below are kept equal to the game's statement table by a test.
" SPDX-License-Identifier: MIT
if exists('b:current_syntax')
  finish
endif

syntax case match

" Later rules win in Vim: the error line first, the statements after it.
syntax match velmoratError /\v^.+$/
syntax match velmoratStatement /\v^%(ADD|AVAILABLE|BACKWARD|CLEAR|COMPARE|DEFINE|DIMENSION|DOWN|EXIT|FORWARD|GOTO|IF|LEFT|RIGHT|SET|SUBTRACT|TITLE|TRACE|UP|USE|WORDS)/ nextgroup=velmoratArguments
syntax match velmoratStatement /\v^%(DRAW|INKEY|INPUT|QUIT)$/
syntax match velmoratArguments /\v.*$/ contained contains=velmoratWord,velmoratNumber,velmoratJump
syntax keyword velmoratWord contained INVENTORY HERE FLAG SCENE SCENES ITEM ITEMS FLAGS NAME COUNT EQUAL
syntax keyword velmoratWord contained DIRECTION ON OFF BLANKS FOLD FILLER REWRITE HELP COMMANDS QUIET CAPTION GUESS
syntax match velmoratNumber /\v<-?\d+>/ contained
syntax match velmoratJump /\v%(EQUAL )@<=.*$/ contained
syntax match velmoratStatement /\v^%(LABEL|GOTO%( SCENE)@!)/ nextgroup=velmoratLabel
syntax match velmoratLabel /\v.*$/ contained
syntax match velmoratStatement /\v^\?/ nextgroup=velmoratText
syntax match velmoratText /\v.*$/ contained
syntax match velmoratComment /\v^%(REM|\/\/|').*$/
syntax match velmoratEnd /\v^\@END$/

highlight default link velmoratError Error
highlight default link velmoratStatement Statement
highlight default link velmoratWord Type
highlight default link velmoratNumber Number
highlight default link velmoratJump Label
highlight default link velmoratLabel Label
highlight default link velmoratText String
highlight default link velmoratComment Comment
highlight default link velmoratEnd PreProc

let b:current_syntax = 'velmorat'
