" Velmorat scene scripts: scripts/DATAnnn.txt of a game project.
autocmd BufRead,BufNewFile DATA[0-9][0-9][0-9].txt setfiletype velmorat
