! Calls the library from Fortran: the version string in its Fortran form
! (blank-padded to the length of the character variable), the option
! character test, the threading mode and the release of work memory.
program version
  implicit none
  character(len=100) :: text
  logical :: lsame
  integer :: zem_in_serial
  external :: zemgetversionstring, zem_freebuffers

  call zemgetversionstring(text)
  print '(a)', trim(text)
  print '(a,l2)', 'lsame(''t'', ''T'') =', lsame('t', 'T')
  print '(a,l2)', 'lsame(''t'', ''N'') =', lsame('t', 'N')
  if (zem_in_serial() == 1) then
    print '(a)', 'threading: serial'
  else
    print '(a)', 'threading: parallel'
  end if
  call zem_freebuffers()
end program version
